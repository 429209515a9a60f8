// A minimal window (a check box and a label) that the accessibility harness test reads and
// operates over AT-SPI, proving the harness itself works apart from any Tarnlet window.
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QVBoxLayout>
#include <QWidget>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    app.setApplicationName(QStringLiteral("accessible-probe"));
    QWidget window;
    window.setWindowTitle(QStringLiteral("Probe"));
    auto *layout = new QVBoxLayout(&window);
    auto *box = new QCheckBox(QStringLiteral("Probe option"), &window);
    auto *label = new QLabel(QStringLiteral("unchecked"), &window);
    QObject::connect(box, &QCheckBox::toggled, label,
        [label](bool on) { label->setText(on ? QStringLiteral("checked") : QStringLiteral("unchecked")); });
    layout->addWidget(box);
    layout->addWidget(label);
    window.show();
    return app.exec();
}

// Until the overlay lands, the program opens one small window so the run command shows a result.
#include <QApplication>
#include <QLabel>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QLabel label(QStringLiteral("Tarnlet"));
    label.setWindowTitle(QStringLiteral("Tarnlet"));
    label.resize(320, 120);
    label.setAlignment(Qt::AlignCenter);
    label.show();
    return app.exec();
}

// The overlay's controller on the real X11 services, showing one module with two rows, for
// notch_e2e.py. It reports on standard output each change of the open and pinned state and of
// the status text ("state expanded=1 pinned=0 status=TEXT"), each screen change with the
// panel's new place ("screens changed panel=x,y,w,h") and the pages it would open ("opened URL");
// each line on standard input is flashed.
//   notch-host [--top-offset POINTS] [BACKDROP_COLOR]
// A backdrop colour opens a full-screen window of it below the overlay, so screenshots show what
// the overlay covers; it reports each press it receives ("backdrop pressed").
#include "GitHubPages.h"
#include "RowModule.h"

#include "core/EventBus.h"
#include "core/ModuleContent.h"
#include "core/ModuleRegistry.h"
#include "core/NewsGate.h"
#include "core/StatusLine.h"
#include "core/TimerScheduler.h"
#include "core/prefs/AppPreferences.h"
#include "core/prefs/PreferenceStore.h"
#include "notch/NotchController.h"
#include "notch/NotchModel.h"
#include "notch/NotchPanel.h"
#include "platform/DesktopServices.h"

#include <QApplication>
#include <QDesktopServices>
#include <QScreen>
#include <QSocketNotifier>
#include <QTemporaryDir>
#include <QTextStream>
#include <QWidget>

#include <unistd.h>

namespace {

QTextStream out(stdout);

class Backdrop final : public QWidget {
protected:
    void mousePressEvent(QMouseEvent *) override { out << "backdrop pressed" << Qt::endl; }
};

class OpenReporter final : public QObject {
    Q_OBJECT
public Q_SLOTS:
    void open(const QUrl &url) { out << "opened " << url.toString() << Qt::endl; }
};

void reportPanel(const char *event, const QWidget &panel)
{
    const QRect r = panel.geometry();
    out << event << " panel=" << r.x() << ',' << r.y() << ',' << r.width() << ',' << r.height() << Qt::endl;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QTemporaryDir scratch;
    auto preferences = PreferenceStore::openFile(scratch.filePath(QStringLiteral("prefs.json")));
    AppPreferences::registerDefaults(*preferences);
    QStringList arguments = QApplication::arguments().mid(1);
    if (arguments.size() > 1 && arguments[0] == u"--top-offset") {
        preferences->setValue(AppPreferences::topOffset, arguments[1].toDouble());
        arguments = arguments.mid(2);
    }

    Backdrop backdrop;
    if (!arguments.isEmpty()) {
        backdrop.setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
        backdrop.setStyleSheet(QStringLiteral("background: ") + arguments[0]);
        backdrop.setGeometry(QGuiApplication::primaryScreen()->geometry());
        backdrop.show();
    }
    OpenReporter opened;
    QDesktopServices::setUrlHandler(QStringLiteral("https"), &opened, "open");

    EventBus bus;
    ModuleRegistry registry(*preferences);
    const QString runs = QStringLiteral("https://github.com/teskarvo/web/actions/runs/");
    auto rows = std::make_unique<RowModule>(QStringLiteral("rows"),
        QList<ModuleRow> { { QStringLiteral("Deploy \u00b7 web"), QStringLiteral("staging"), std::nullopt,
                               ModuleStatus::Severity::Active, QUrl(runs + u'1') },
            { QStringLiteral("Tests \u00b7 web"), QStringLiteral("main"), std::nullopt, ModuleStatus::Severity::Fine,
                QUrl(runs + u'2') } });
    rows->setStatus(ModuleStatus { QStringLiteral("Deploy \u00b7 staging"), ModuleStatus::Severity::Active });
    registry.registerModule(std::move(rows));
    TimerScheduler scheduler;
    DesktopServices desktop = createDesktopServices();
    ModuleContent content(registry);
    StatusLine statusLine(content, scheduler);
    NewsGate news(bus, registry, *preferences, scheduler);
    const LinkGate links = gitHubPages();
    NotchController notch(news, content, statusLine, links, *preferences, scheduler, *desktop.screens, *desktop.pointer,
        *desktop.panelWindow, *desktop.reduceMotion);

    const NotchModel &model = notch.model();
    const auto state = [&model] {
        return QStringLiteral("state expanded=%1 pinned=%2 status=%3")
            .arg(int(model.isExpanded()))
            .arg(int(model.isPinned()))
            .arg(model.statusText());
    };
    QString reported = state();
    QObject::connect(&model, &NotchModel::changed, &app, [&] {
        if (state() != reported)
            out << (reported = state()) << Qt::endl;
    });
    // After the controller's own handler, which was connected first.
    QObject::connect(desktop.screens.get(), &ScreenProvider::screensChanged, &app,
        [&notch] { reportPanel("screens changed", notch.panel()); });
    notch.panel().show();
    notch.panel().raise();

    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, &app, [&] {
        char chunk[512];
        const ssize_t size = ::read(STDIN_FILENO, chunk, sizeof chunk);
        input.setEnabled(size > 0);
        // Several lines may arrive in one read.
        const QString text = QString::fromUtf8(chunk, std::max<ssize_t>(size, 0));
        for (const QString &line : text.split(u'\n', Qt::SkipEmptyParts))
            notch.flash(line, Color::green());
    });
    reportPanel("ready", notch.panel());
    return app.exec();
}

#include "NotchHost.moc"

// A small program for the end-to-end tests: the overlay's controller on the real X11 services,
// showing one module with three rows, reporting every change of its open and pinned state on
// standard output ("state expanded=1 pinned=0").
//   notch-host PREFERENCES_FILE [--backdrop COLOR]
// --backdrop opens a full-screen window of that colour below the overlay, so screenshots show
// what the overlay covers; it reports each press it receives ("backdrop pressed"). A line
// "flash TEXT" on standard input flashes TEXT in green. Each screen change notice is reported with
// the panel's new place ("screens changed panel=x,y,w,h"), each new status text as "status TEXT".
// Pages the overlay opens are reported instead of opened ("opened URL").
#include "RowModule.h"

#include "core/EventBus.h"
#include "core/ModuleRegistry.h"
#include "core/TimerScheduler.h"
#include "core/prefs/AppPreferences.h"
#include "core/prefs/PreferenceStore.h"
#include "notch/NotchController.h"
#include "notch/NotchModel.h"
#include "notch/NotchPanel.h"
#include "platform/DesktopServices.h"

#include <QApplication>
#include <QDesktopServices>
#include <QMouseEvent>
#include <QScreen>
#include <QSocketNotifier>
#include <QWidget>

#include <cstdio>
#include <unistd.h>

namespace {

class Backdrop final : public QWidget {
protected:
    void mousePressEvent(QMouseEvent *) override
    {
        std::printf("backdrop pressed\n");
        std::fflush(stdout);
    }
};

class OpenReporter final : public QObject {
    Q_OBJECT
public Q_SLOTS:
    void open(const QUrl &url)
    {
        std::printf("opened %s\n", url.toString().toUtf8().constData());
        std::fflush(stdout);
    }
};

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 2) {
        std::fprintf(stderr, "usage: notch-host PREFERENCES_FILE [--backdrop COLOR]\n");
        return 2;
    }
    auto preferences = PreferenceStore::openFile(args.at(1));
    AppPreferences::registerDefaults(*preferences);

    Backdrop backdrop;
    const qsizetype backdropAt = args.indexOf(QStringLiteral("--backdrop"));
    if (backdropAt > 0 && backdropAt + 1 < args.size()) {
        backdrop.setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
        backdrop.setStyleSheet(QStringLiteral("background: %1").arg(args.at(backdropAt + 1)));
        backdrop.setGeometry(QGuiApplication::primaryScreen()->geometry());
        backdrop.show();
    }

    OpenReporter opened;
    QDesktopServices::setUrlHandler(QStringLiteral("https"), &opened, "open");

    EventBus bus;
    ModuleRegistry registry(*preferences);
    // Three rows: two open a run's page, the last one nothing.
    const QString runs = QStringLiteral("https://github.com/teskarvo/web/actions/runs/");
    auto rows = std::make_unique<RowModule>(QStringLiteral("rows"),
        QList<ModuleRow> { { QStringLiteral("Deploy \u00b7 web"), QStringLiteral("staging"), std::nullopt,
                               Color::orange(), QUrl(runs + u'1') },
            { QStringLiteral("Tests \u00b7 web"), QStringLiteral("main"), std::nullopt, Color::green(),
                QUrl(runs + u'2') },
            { QStringLiteral("Lint \u00b7 web"), QStringLiteral("feature/login"), std::nullopt, Color::red(),
                QUrl() } });
    rows->setStatus(ModuleStatus { QStringLiteral("Deploy \u00b7 staging"), Color::orange() });
    registry.registerModule(std::move(rows));
    TimerScheduler scheduler;
    DesktopServices desktop = createDesktopServices();
    NotchController notch(bus, registry, *preferences, scheduler, *desktop.screens, *desktop.pointer,
        *desktop.panelWindow, *desktop.reduceMotion);
    std::pair<bool, bool> reported { false, false };
    QString lastStatus = notch.model().statusText();
    const auto report = [&notch, &reported, &lastStatus] {
        if (notch.model().statusText() != lastStatus) {
            lastStatus = notch.model().statusText();
            std::printf("status %s\n", qPrintable(lastStatus));
        }
        const std::pair<bool, bool> state { notch.model().isExpanded(), notch.model().isPinned() };
        if (state == reported)
            return;
        reported = state;
        std::printf("state expanded=%d pinned=%d\n", state.first, state.second);
        std::fflush(stdout);
    };
    QObject::connect(&notch.model(), &NotchModel::changed, &app, report);
    // After the controller's own handler, which was connected first.
    QObject::connect(desktop.screens.get(), &ScreenProvider::screensChanged, &app, [&notch] {
        const QRect frame = notch.panel().geometry();
        std::printf("screens changed panel=%d,%d,%d,%d\n", frame.x(), frame.y(), frame.width(), frame.height());
        std::fflush(stdout);
    });
    notch.panel().show();
    notch.panel().raise();

    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, &app, [&notch, &input] {
        char line[512];
        const ssize_t size = ::read(STDIN_FILENO, line, sizeof line - 1);
        if (size <= 0) {
            input.setEnabled(false);
            return;
        }
        // Several lines may arrive in one read.
        const QStringList commands = QString::fromUtf8(line, size).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        for (const QString &command : commands) {
            if (command.startsWith(QLatin1String("flash ")))
                notch.flash(command.mid(6).trimmed(), Color::green());
        }
    });

    const QRect frame = notch.panel().geometry();
    std::printf("ready panel=%d,%d,%d,%d\n", frame.x(), frame.y(), frame.width(), frame.height());
    std::fflush(stdout);
    return app.exec();
}

#include "NotchHost.moc"

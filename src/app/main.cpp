// The program's entry point: hands a command for the running program over to it, or picks the
// platform, keeps one instance per user and display, builds the production services, runs the
// application delegate's launch sequence and offers the program on the session bus.
#include "app/AppDelegate.h"
#include "app/BusService.h"
#include "app/PlatformChoice.h"
#include "app/RemoteCommand.h"
#include "app/SingleInstance.h"
#include "core/AppLanguage.h"
#include "core/TimerScheduler.h"
#include "core/prefs/AppPreferences.h"
#include "core/prefs/PreferenceStore.h"
#include "integrations/github/GitHubRepository.h"
#include "platform/DesktopServices.h"
#include "services/KeychainStore.h"
#include "services/QtProcessRunner.h"
#include "updates/GitHubReleaseUpdater.h"
#include "updates/MessageBoxUpdateDialogs.h"

#include <QApplication>
#include <QDBusConnection>
#include <QDBusMetaType>
#include <QDBusServiceWatcher>
#include <QNetworkAccessManager>

#include <cstdio>

namespace {

void printNotice(const QString &line)
{
    std::fprintf(stderr, "%s\n", line.toLocal8Bit().constData());
}

} // namespace

int main(int argc, char *argv[])
{
    // QtDBus registers its own types when first asked, from whichever thread asks first. Asked here,
    // before a bus connection's thread reads any message, none meets a type half registered (which
    // Qt reports on standard error, where a command must print its one line only).
    QDBusMetaType::signatureToMetaType("v");
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    if (RemoteCommand::isRequested(arguments)) {
        // No display needed: a key binding or a status bar may run it anywhere.
        QCoreApplication command(argc, argv);
        QCoreApplication::setApplicationName(QStringLiteral("Tarnlet"));
        QCoreApplication::setApplicationVersion(QStringLiteral(TARNLET_VERSION));
        AppLanguage::install(AppLanguage::choose(
            PreferenceStore::openUserStore()->stringValue(AppPreferences::language), QLocale::system()));
        return RemoteCommand::run(QCoreApplication::arguments(), QDBusConnection::sessionBus());
    }

    const QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    if (const QByteArray platform = PlatformChoice::platformFor(environment); !platform.isEmpty())
        qputenv("QT_QPA_PLATFORM", platform);
    else if (PlatformChoice::waylandWithoutXWayland(environment))
        // Said before the application starts, which may fail on such a session.
        printNotice(AppLanguage::translateBeforeStart(QLocale::system(), "main",
            QT_TRANSLATE_NOOP("main",
                "Tarnlet: Ohne XWayland kann das Overlay nicht oben in der Mitte über allen "
                "Fenstern stehen.")));

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tarnlet"));
    // The tray item's title on a StatusNotifierItem host.
    QApplication::setApplicationDisplayName(QStringLiteral("Tarnlet"));
    QApplication::setApplicationVersion(QStringLiteral(TARNLET_VERSION));
    QApplication::setDesktopFileName(QStringLiteral("tarnlet"));
    // An accessory: closing the settings window leaves the overlay and the status item running.
    QApplication::setQuitOnLastWindowClosed(false);

    const QString display
        = environment.value(QStringLiteral("DISPLAY"), environment.value(QStringLiteral("WAYLAND_DISPLAY")));
    SingleInstance instance(QApplication::platformName() + u'-' + display);
    if (const SingleInstance::Claim claim = instance.claim();
        claim == SingleInstance::Claim::Forwarded || claim == SingleInstance::Claim::Taken)
        return 0;

    const std::unique_ptr<PreferenceStore> preferences = PreferenceStore::openUserStore();
    AppLanguage::install(AppLanguage::choose(preferences->stringValue(AppPreferences::language), QLocale::system()));
    TimerScheduler scheduler;
    KeychainStore secrets;
    QNetworkAccessManager network;
    QtProcessRunner processes(scheduler);
    DesktopServices desktop = createDesktopServices();
    MessageBoxUpdateDialogs updateDialogs;

    TestEndpoint testEndpoint;
    GitHubTransport::Endpoint releases;
#ifdef TARNLET_TEST_HOOKS
    // Only the build the whole-program tests run reads this, so no build a user runs can be
    // pointed elsewhere with a token.
    if (const QString root = environment.value(QStringLiteral("TARNLET_TEST_API_ROOT")); !root.isEmpty())
        releases.apiRoot = testEndpoint.apiRoot = QUrl(root);
#endif
    const GitHubReleaseUpdater::Config release { GitHubRepository::tarnletRepository, QStringLiteral(TARNLET_VERSION),
        releases };

    AppDelegate delegate({ *preferences, scheduler, secrets, network, processes, desktop,
        std::make_unique<GitHubReleaseUpdater>(release, network, *preferences, scheduler, updateDialogs), testEndpoint,
        printNotice });
    QObject::connect(&instance, &SingleInstance::showSettingsRequested, &delegate, &AppDelegate::showSettings);
    // The Secret Service may come up after the program (at login) or start anew: the secrets are
    // read again each time it takes its name on the session bus.
    QDBusServiceWatcher secretService(QStringLiteral("org.freedesktop.secrets"), QDBusConnection::sessionBus(),
        QDBusServiceWatcher::WatchForRegistration);
    QObject::connect(
        &secretService, &QDBusServiceWatcher::serviceRegistered, &delegate, &AppDelegate::secretStoreAppeared);
    delegate.applicationDidFinishLaunching();
    // Commands and status bars reach the program here. The single-instance socket stays the guard:
    // it is per display, while one session bus may serve several displays of a user, where only
    // the first program gets the name.
    BusService bus(delegate, QDBusConnection::sessionBus());
    if (!bus.publish())
        printNotice(QCoreApplication::translate("main",
            "Tarnlet: Der Name %1 auf dem Sitzungsbus ist nicht zu haben; Befehle wie tarnlet --toggle "
            "erreichen dieses Tarnlet nicht.")
                        .arg(QString::fromLatin1(BusService::serviceName)));
    return app.exec();
}

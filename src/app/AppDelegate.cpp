#include "app/AppDelegate.h"

#include "app/ModuleSetup.h"
#include "core/prefs/AppPreferences.h"
#include "core/prefs/PreferenceStore.h"
#include "notch/NotchController.h"
#include "notch/NotchPanel.h"
#include "platform/DesktopServices.h"
#include "platform/StatusItem.h"
#include "settings/GitHubAccount.h"
#include "settings/SettingsWindowController.h"

#include <QAction>
#include <QApplication>
#include <QKeySequence>
#include <QMenu>

const QString AppDelegate::testEventText = QStringLiteral("Tests bestanden · main");

AppDelegate::AppDelegate(AppServices services, QObject *parent)
    : QObject(parent)
    , m_services(std::move(services))
    , m_registry(m_services.preferences)
    , m_updates(std::move(m_services.updater))
    , m_connections(m_services.network, m_services.scheduler)
{ }

AppDelegate::~AppDelegate() = default;

void AppDelegate::applicationDidFinishLaunching()
{
    PreferenceStore &preferences = m_services.preferences;
    DesktopServices &desktop = m_services.desktop;

    AppPreferences::registerDefaults(preferences);

    m_notch = std::make_unique<NotchController>(m_eventBus, preferences, m_services.scheduler, *desktop.screens,
        *desktop.pointer, *desktop.panelWindow, *desktop.reduceMotion);
    m_notch->panel().show();

    ModuleSetup::run(m_registry, m_eventBus,
        { m_services.secrets, m_credentials, m_services.network, m_services.scheduler, m_services.processes,
            m_services.gitHubEndpoint });

    const auto accountClient
        = [this] { return GitHubClient(m_services.network, m_credentials.token(), m_services.gitHubEndpoint); };
    m_accountClient = std::make_unique<GitHubClient>(accountClient());
    // The client keeps the token it was made with, so a new token puts a new client in its place.
    connect(&m_credentials, &GitHubCredentials::changed, this,
        [this, accountClient] { *m_accountClient = accountClient(); });
    m_account = std::make_unique<GitHubAccount>(m_services.secrets, m_credentials, *m_accountClient);
    m_settings = std::make_unique<SettingsWindowController>(m_registry, m_updates, preferences, *m_account);
    // Translucent only while a compositor blends windows; it may come and go at any time.
    PanelWindowSupport *windowing = desktop.panelWindow.get();
    const auto followCompositor
        = [this, windowing] { m_settings->setTranslucentBackground(!windowing->needsShapeMask()); };
    followCompositor();
    connect(windowing, &PanelWindowSupport::needsShapeMaskChanged, this, followCompositor);

    setUpStatusItem();

    // Without a status area the menu has no home: the settings window offers its actions instead
    // and opens at every launch, so the program never runs out of reach.
    const bool trayAvailable = m_statusItem->isAvailable();
    if (!trayAvailable) {
        m_services.notice(QStringLiteral("Tarnlet: Kein Infobereich (System Tray) gefunden – die Befehle des "
                                         "Menüs stehen im Einstellungsfenster."));
        QList<QAction *> actions = m_menu->actions();
        actions.removeIf([](const QAction *action) { return action->isSeparator(); });
        actions.removeIf([](const QAction *action) { return action->data().toString() == u"settings"; });
        m_settings->setExtraActions(actions);
    }
    if (!trayAvailable || preferences.boolValue(AppPreferences::showSettingsOnLaunch))
        m_settings->show();
}

void AppDelegate::showTestEvent()
{
    if (m_notch)
        m_notch->flash(testEventText, Color::green());
}

void AppDelegate::showSettings()
{
    if (m_settings)
        m_settings->show();
}

void AppDelegate::setUpStatusItem()
{
    std::unique_ptr<StatusItem> item = m_services.makeStatusItem();
    item->setSymbol(QString::fromLatin1(statusSymbol), QString::fromLatin1(statusDescription));
    m_menu = std::make_unique<QMenu>();
    buildStatusMenu();
    item->setMenu(m_menu.get());
    // A menu alone never sees key presses: the always-visible overlay carries the actions too, so
    // their shortcuts work whenever one of the program's windows is active.
    m_notch->panel().addActions(m_menu->actions());
    item->show();
    m_statusItem = std::move(item);
}

void AppDelegate::buildStatusMenu()
{
    // The shortcuts are shown with the platform's usual modifier (Ctrl here, Command on macOS)
    // and work wherever the program has a window in front.
    const auto add = [this](const QString &title, const QKeySequence &keys, const char *tag) {
        QAction *action = m_menu->addAction(title);
        action->setShortcut(keys);
        action->setShortcutContext(Qt::ApplicationShortcut);
        action->setData(QString::fromLatin1(tag));
        return action;
    };
    connect(add(QStringLiteral("Test-Ereignis anzeigen"), QKeySequence(Qt::CTRL | Qt::Key_T), "test"),
        &QAction::triggered, this, &AppDelegate::showTestEvent);
    connect(add(QStringLiteral("Einstellungen …"), QKeySequence(Qt::CTRL | Qt::Key_Comma), "settings"),
        &QAction::triggered, this, &AppDelegate::showSettings);
    QAction *check = add(QStringLiteral("Nach Updates suchen …"), QKeySequence(), "updates");
    connect(check, &QAction::triggered, &m_updates, [this, check] { m_updates.checkForUpdates(check); });
    m_menu->addSeparator();
    // Quitting ends the event loop at once; every preference was stored when it changed.
    connect(add(QStringLiteral("Beenden"), QKeySequence(Qt::CTRL | Qt::Key_Q), "quit"), &QAction::triggered, qApp,
        [] { QCoreApplication::exit(0); });
}

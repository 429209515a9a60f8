#include "app/AppDelegate.h"

#include "app/DesktopHooks.h"
#include "app/DesktopNews.h"
#include "app/Integrations.h"
#include "app/StatusSummary.h"
#include "core/LocalTime.h"
#include "core/prefs/AppPreferences.h"
#include "core/prefs/PreferenceStore.h"
#include "notch/NotchController.h"
#include "notch/NotchModel.h"
#include "notch/NotchPanel.h"
#include "platform/DesktopServices.h"
#include "platform/StatusItem.h"
#include "settings/SettingsView.h"
#include "settings/SettingsWindowController.h"

#include <QAction>
#include <QApplication>
#include <QKeySequence>
#include <QLocale>
#include <QMenu>
#include <QPointer>

#include <utility>

namespace {

StatusItem::Attention attentionFor(ModuleStatus::Severity severity)
{
    switch (severity) {
    case ModuleStatus::Severity::Failing:
        return StatusItem::Attention::Failure;
    case ModuleStatus::Severity::Active:
        return StatusItem::Attention::Active;
    case ModuleStatus::Severity::Notice:
    case ModuleStatus::Severity::Fine:
    case ModuleStatus::Severity::Idle:
        break;
    }
    return StatusItem::Attention::None;
}

} // namespace

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
    m_integrations = Integrations::make({ preferences, m_services.scheduler, m_services.secrets, m_services.network,
        m_services.processes, m_eventBus, m_services.testEndpoint });
    QList<IntegrationPane> panes;
    for (const std::unique_ptr<Integration> &integration : m_integrations) {
        m_links.addRule([service = integration.get()](const QUrl &url) { return service->mayOpen(url); });
        panes += integration->panes();
    }

    m_content = std::make_unique<ModuleContent>(m_registry);
    m_statusLine = std::make_unique<StatusLine>(*m_content, m_services.scheduler);
    m_news = std::make_unique<NewsGate>(m_eventBus, m_registry, preferences, m_services.scheduler);
    m_notch = std::make_unique<NotchController>(*m_news, *m_content, *m_statusLine, m_links, preferences,
        m_services.scheduler, *desktop.screens, *desktop.pointer, *desktop.panelWindow, *desktop.reduceMotion);
    m_notch->panel().show();
    m_summary = std::make_unique<StatusSummary>(*m_statusLine, *m_content, *m_news, m_integrations);
    m_desktopNews = std::make_unique<DesktopNews>(*m_news, m_registry, preferences, *desktop.notifier, m_links);
    DesktopHooks::followShortcut(*desktop.shortcut, preferences, *m_notch);
    DesktopHooks::followDoNotDisturb(*desktop.doNotDisturb, *m_news);

    // Registration queues each switched-on module's start, so none works before the launch returns.
    for (const std::unique_ptr<Integration> &integration : m_integrations) {
        for (std::unique_ptr<DevModule> &module : integration->takeModules())
            m_registry.registerModule(std::move(module));
    }
    m_settings = std::make_unique<SettingsWindowController>(SettingsSources { m_registry, panes, m_links, m_updates,
        preferences, m_news->history(), *desktop.notifier, *desktop.shortcut, *desktop.doNotDisturb });
    // Translucent only while a compositor blends windows; it may come and go at any time.
    PanelWindowSupport *windowing = desktop.panelWindow.get();
    const auto followCompositor
        = [this, windowing] { m_settings->setTranslucentBackground(!windowing->needsShapeMask()); };
    followCompositor();
    connect(windowing, &PanelWindowSupport::needsShapeMaskChanged, this, followCompositor);
    // An overlay row that needs the user's action opens the pane that resolves it.
    connect(m_notch.get(), &NotchController::paneRequested, m_settings.get(),
        [settings = m_settings.get()](const QString &pane) { settings->show(pane); });

    setUpStatusItem();
    connect(m_statusItem.get(), &StatusItem::availabilityChanged, this, &AppDelegate::followStatusArea);

    if (preferences.boolValue(AppPreferences::showSettingsOnLaunch))
        m_settings->show();
    for (const std::unique_ptr<Integration> &integration : m_integrations)
        integration->start();
    // At login the tray host often starts beside the program: it gets a moment before its absence
    // is reported.
    if (!m_statusItem->isAvailable())
        m_statusAreaWait = m_services.scheduler.schedule(statusAreaWait, [self = QPointer(this)] {
            if (self)
                self->followStatusArea();
        });
}

void AppDelegate::followStatusArea()
{
    m_statusAreaWait.cancel();
    // Without a status area the menu is still one right click on the overlay away; saying so once
    // is enough, the settings window is not forced open.
    if (!m_statusItem->isAvailable() && !std::exchange(m_statusAreaMissingSaid, true))
        m_services.notice(tr("Tarnlet: Kein Infobereich (System Tray) gefunden – ein Rechtsklick auf das "
                             "Overlay öffnet das Menü."));
}

void AppDelegate::showTestEvent()
{
    if (m_notch)
        m_notch->flash(tr(testEventText), Color::green());
}

void AppDelegate::showSettings()
{
    if (m_settings)
        m_settings->show();
}

void AppDelegate::secretStoreAppeared()
{
    for (const std::unique_ptr<Integration> &integration : m_integrations)
        integration->secretStoreAppeared();
}

void AppDelegate::setUpStatusItem()
{
    std::unique_ptr<StatusItem> item = m_services.desktop.makeStatusItem();
    item->setSymbol(QString::fromLatin1(statusSymbol), QString::fromLatin1(statusDescription));
    m_menu = std::make_unique<QMenu>();
    buildStatusMenu();
    item->setMenu(m_menu.get());
    // The tooltip reads the collapsed line, the pause and the integrations' warnings; the mark
    // follows the modules' line, not a passing flash.
    const auto showStatus = [summary = m_summary.get(), target = item.get()] {
        target->setStatus(summary->current().tooltip, attentionFor(summary->current().severity));
    };
    showStatus();
    connect(m_summary.get(), &StatusSummary::changed, item.get(), showStatus);
    // A menu alone never sees key presses: the always-visible overlay carries the actions too, so
    // their shortcuts work whenever one of the program's windows is active.
    m_notch->panel().addActions(m_menu->actions());
    // Where the desktop has no tray (stock GNOME), the overlay's own right click is the way in. It
    // opens a menu of its own with the same actions: the tray's menu window stays tied to the tray
    // icon it last opened from, and often maps no more once that icon's host has gone. The overlay's
    // window owns it, and lists it on the accessibility bus while it is open.
    auto *overlayMenu = new QMenu(&m_notch->panel());
    overlayMenu->addActions(m_menu->actions());
    connect(m_notch.get(), &NotchController::menuRequested, overlayMenu,
        [overlayMenu](QPoint position) { overlayMenu->popup(position); });
    item->show();
    m_statusItem = std::move(item);
}

void AppDelegate::followPause()
{
    // The menu pauses and resumes the user's own pause; the desktop's ends with its Do Not Disturb.
    if (!m_news->isPausedByUser()) {
        m_pauseAction->setText(tr("Meldungen pausieren"));
        m_pauseAction->setMenu(m_pauseMenu.get());
        return;
    }
    m_pauseAction->setMenu(nullptr);
    const std::optional<QDateTime> end = m_news->pauseEnd();
    m_pauseAction->setText(
        end ? tr("Meldungen fortsetzen (pausiert bis %1)").arg(shortLocalTime(*end)) : tr("Meldungen fortsetzen"));
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
    connect(add(tr("Test-Ereignis anzeigen"), QKeySequence(Qt::CTRL | Qt::Key_T), "test"), &QAction::triggered, this,
        &AppDelegate::showTestEvent);
    connect(add(tr("Einstellungen …"), QKeySequence(Qt::CTRL | Qt::Key_Comma), "settings"), &QAction::triggered, this,
        &AppDelegate::showSettings);
    m_pauseMenu = std::make_unique<QMenu>();
    const auto addPause = [this](const QString &title, NewsGate::PauseLength length) {
        connect(m_pauseMenu->addAction(title), &QAction::triggered, m_news.get(),
            [news = m_news.get(), length] { news->pause(length); });
    };
    addPause(tr("1 Stunde"), NewsGate::PauseLength::Hour);
    addPause(tr("Bis morgen früh"), NewsGate::PauseLength::UntilMorning);
    addPause(tr("Bis ich fortsetze"), NewsGate::PauseLength::UntilResumed);
    m_pauseAction = add(QString(), QKeySequence(), "pause");
    // While paused the entry itself resumes; otherwise it opens the durations.
    connect(m_pauseAction, &QAction::triggered, m_news.get(), [this] {
        if (m_news->isPausedByUser())
            m_news->resume();
    });
    followPause();
    connect(m_news.get(), &NewsGate::pauseChanged, this, &AppDelegate::followPause);
    QAction *check = add(tr("Nach Updates suchen …"), QKeySequence(), "updates");
    connect(check, &QAction::triggered, &m_updates, [this, check] { m_updates.checkForUpdates(check); });
    m_menu->addSeparator();
    // Quitting ends the event loop at once; every preference was stored when it changed.
    connect(add(tr("Beenden"), QKeySequence(Qt::CTRL | Qt::Key_Q), "quit"), &QAction::triggered, qApp,
        [] { QCoreApplication::exit(0); });
}

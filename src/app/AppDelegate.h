#pragma once

#include "app/AppServices.h"
#include "core/EventBus.h"
#include "core/Integration.h"
#include "core/LinkGate.h"
#include "core/ModuleContent.h"
#include "core/ModuleRegistry.h"
#include "core/NewsGate.h"
#include "core/Scheduler.h"
#include "core/StatusLine.h"
#include "services/ConnectionRecycler.h"
#include "updates/UpdateController.h"

#include <QObject>

#include <memory>
#include <vector>

class DesktopNews;
class NotchController;
class QAction;
class QMenu;
class SettingsWindowController;
class StatusSummary;
class StatusItem;

// Owns every long-lived object of the application and wires them together in a fixed order.
// Creating it makes the registry (which reads the switched-off modules), the event bus and the
// update controller (which starts the updater). applicationDidFinishLaunching() then builds the
// rest: defaults, overlay, the desktop's notifications, the integrations with their modules,
// settings controller, status item, and the settings window when asked for at launch; the
// integrations then read their secrets without waiting. The menu is the status item's and opens on
// a right click on the overlay too, which is the way in on a desktop without a status area.
class AppDelegate final : public QObject {
    Q_OBJECT
public:
    static constexpr auto statusSymbol = "rectangle.topthird.inset.filled";
    static constexpr auto statusDescription = "Tarnlet";
    static constexpr auto testEventText = QT_TR_NOOP("Tests bestanden · main");
    // How long a launch without a status area waits for one before it says there is none.
    static constexpr double statusAreaWait = 2;

    explicit AppDelegate(AppServices services, QObject *parent = nullptr);
    ~AppDelegate() override;

    // The launch sequence; called once, on the GUI thread, before the event loop runs the
    // modules' start requests.
    void applicationDidFinishLaunching();

    // Flashes the test text in green, whatever the preferences say.
    void showTestEvent();
    // Opens the settings window once its controller exists; does nothing before.
    void showSettings();
    // The secret store has just appeared on the session bus: the integrations read their secrets
    // again, without waiting; does nothing before the launch.
    void secretStoreAppeared();

    StatusItem *statusItem() const { return m_statusItem.get(); }
    NotchController *notch() const { return m_notch.get(); }
    const ModuleContent *content() const { return m_content.get(); }
    const StatusLine *statusLine() const { return m_statusLine.get(); }
    const std::vector<std::unique_ptr<Integration>> &integrations() const { return m_integrations; }
    NewsGate *news() const { return m_news.get(); }
    // What the tray and the session bus tell of the program.
    const StatusSummary *summary() const { return m_summary.get(); }
    ModuleRegistry &registry() { return m_registry; }
    EventBus &eventBus() { return m_eventBus; }
    SettingsWindowController *settings() const { return m_settings.get(); }
    UpdateController &updates() { return m_updates; }
    // The status menu's entries in order (the separator included), once the item is built.
    QMenu *statusMenu() const { return m_menu.get(); }

private:
    void setUpStatusItem();
    void buildStatusMenu();
    // The pause entry: a submenu of durations, or the way back while paused.
    void followPause();
    // Says once when the desktop has no status area to hold the menu.
    void followStatusArea();

    AppServices m_services;
    // The pause entry's durations outlive the entry that shows them.
    std::unique_ptr<QMenu> m_pauseMenu;
    // The status menu is destroyed after the status item that shows it.
    std::unique_ptr<QMenu> m_menu;
    QAction *m_pauseAction = nullptr; // in the status menu
    // The fields in the order they are created; destroyed in reverse.
    std::unique_ptr<StatusItem> m_statusItem;
    std::unique_ptr<NotchController> m_notch;
    // Before the registry: the modules it owns use their integrations until they go.
    std::vector<std::unique_ptr<Integration>> m_integrations;
    ModuleRegistry m_registry;
    // The pages rows may open: each integration's rule.
    LinkGate m_links;
    // What the overlay and the tray show of the modules.
    std::unique_ptr<ModuleContent> m_content;
    std::unique_ptr<StatusLine> m_statusLine;
    // Decides which news interrupts; holds the pause.
    std::unique_ptr<NewsGate> m_news;
    std::unique_ptr<StatusSummary> m_summary;
    std::unique_ptr<DesktopNews> m_desktopNews;
    EventBus m_eventBus;
    std::unique_ptr<SettingsWindowController> m_settings;
    UpdateController m_updates;
    // Keeps the shared network manager from hoarding TLS sessions over a day of polling.
    ConnectionRecycler m_connections;
    CancelHandle m_statusAreaWait;
    bool m_statusAreaMissingSaid = false;
};

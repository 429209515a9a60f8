#pragma once

#include "core/CoalescedCall.h"
#include "core/Color.h"
#include "core/ModuleStatus.h"
#include "core/Scheduler.h"
#include "notch/NotchGeometry.h"
#include "platform/PointerMonitor.h"

#include <QObject>
#include <QSizeF>

#include <memory>
#include <optional>

class EventBus;
class ModuleRegistry;
class NotchModel;
class NotchPanel;
class PanelWindowSupport;
class PreferenceStore;
class ReduceMotion;
class ScreenProvider;
struct ModuleEvent;

// Decides when the overlay opens and closes. Resting the pointer on the notch opens it after a
// short delay, a click on the notch pins it, a second click (or one outside) closes it, leaving
// the open area closes an unpinned overlay; bus events and flash() show news and close again
// after the configured time. Preferences are read at the moment of use, never cached.
//
// What it shows comes from the registry's switched-on modules: their rows, in registry order,
// and as the status line the compact status of the first one that has one. Module and registry
// notices are gathered into one rebuild per turn of the event loop. A flash holds the status
// line for the flash duration, then the modules' line returns. While open, the rows' ages are
// redrawn whenever one changes; while collapsed nothing ticks. A click on a row of the open
// overlay opens the row's page.
//
// The overlay hangs from the top of what panels leave free on the chosen screen
// ("notch.screen"). While the active window on that screen is full-screen it is hidden and
// ignores the pointer, and flashes wait until that window is left ("notch.hideBesideFullScreen").
// Where the pointer can only be followed over our own windows, leaving them counts as leaving.
//
// Every reference must outlive the controller; src/app hands in the production services:
//   NotchController notch(bus, registry, preferences, scheduler, *desktop.screens,
//                         *desktop.pointer, *desktop.panelWindow, *desktop.reduceMotion);
//   notch.panel().show();
// Creating the controller subscribes to the bus and the pointer and screen notices; it does not
// show the panel.
class NotchController final : public QObject {
    Q_OBJECT
public:
    static constexpr double hoverMargin = 8;
    static constexpr double leaveMargin = 24;
    static constexpr double hoverDelay = 0.25;
    static constexpr double leaveDelay = 0.35;

    NotchController(EventBus &bus, const ModuleRegistry &registry, PreferenceStore &preferences, Scheduler &scheduler,
        ScreenProvider &screens, PointerMonitor &pointer, PanelWindowSupport &panelWindow,
        const ReduceMotion &reduceMotion, QObject *parent = nullptr);
    ~NotchController() override;

    NotchPanel &panel() const { return *m_panel; }
    const NotchModel &model() const { return *m_model; }
    const NotchGeometry &geometry() const { return m_geometry; }
    // The modules' status line, which the collapsed overlay shows whenever no flash holds it.
    const ModuleStatus &liveStatus() const { return m_live; }

    // Shows `text` with a `color` dot in the status line, opens the overlay and closes it after
    // "notch.flashDuration" seconds unless it is pinned or the pointer rests on it by then.
    void flash(const QString &text, Color color);

    // The overlay's area of `size` (open or collapsed), centred below the point it hangs from.
    static QRectF expandedArea(QPointF topCentre, QSizeF size);

Q_SIGNALS:
    // The collapsed line's text or the live status changed.
    void statusLineChanged();

private:
    enum class Condition { Always, Flash };
    struct PendingChange {
        CancelHandle job;
        bool target = false;
        Condition condition = Condition::Always;
        double due = 0; // when the change takes effect
        double armedFor = 0; // when the scheduled job wakes up
    };

    void handle(PointerEventType type);
    void handleBusEvent(const ModuleEvent &event);
    void setExpanded(bool expanded);
    void scheduleChange(bool target, double delaySeconds, Condition condition);
    void arm(double due);
    void pendingDue();
    void rebuildForScreen();
    void placeOnChosenScreen();
    void followFullScreen();
    void preferenceChanged(const QString &key);
    QRectF collapsedArea() const;
    QRectF expandedArea() const;
    void placePanel();
    void scheduleRebuild();
    void rebuild();
    void showStatus(const ModuleStatus &status);
    void endFlash();
    void armAgeUpdate();
    void openRowAt(QPointF position);

    const ModuleRegistry &m_registry;
    PreferenceStore &m_preferences;
    Scheduler &m_scheduler;
    ScreenProvider &m_screens;
    PointerMonitor &m_pointer;
    std::unique_ptr<NotchModel> m_model;
    NotchGeometry m_geometry;
    std::unique_ptr<NotchPanel> m_panel; // after the model: the view inside reads the model
    PendingChange m_pending;
    bool m_pointerInside = false;
    ModuleStatus m_live;
    CancelHandle m_flashEnd;
    CancelHandle m_ageUpdate;
    CoalescedCall m_rebuild { this, [this] { rebuild(); } };
    bool m_hiddenBesideFullScreen = false;
    struct Flash {
        QString text;
        Color color;
    };
    std::optional<Flash> m_waitingFlash; // the newest flash asked for while hidden
};

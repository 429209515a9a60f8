#pragma once

#include "core/Color.h"
#include "core/ModuleStatus.h"
#include "core/Scheduler.h"
#include "notch/NotchPlacement.h"
#include "platform/PointerMonitor.h"

#include <QObject>
#include <QSizeF>

#include <memory>
#include <optional>

class LinkGate;
class NewsGate;
class ModuleContent;
class NotchModel;
class NotchPanel;
class PanelWindowSupport;
class PreferenceStore;
class ReduceMotion;
class ScreenProvider;
class StatusLine;

// Decides when the overlay opens and closes. Resting the pointer on the notch opens it after a
// short delay, a click on the notch pins it, a second click (or one outside) closes it, leaving
// the open area closes an unpinned overlay; news let through by the gate and flash() show news and close again
// after the configured time. Preferences are read at the moment of use, never cached.
//
// What it shows comes from the content source (the switched-on modules' rows) and the status line,
// which a flash holds for the flash duration before the modules' line returns.
// While open, the rows' ages are redrawn whenever one changes; while collapsed nothing ticks. A
// click on a row of the open overlay opens the row's page (where the link gate lets it), one on
// the check mark at its end runs
// its second action. Where it hangs, and when a full-screen
// window hides it, is the placement's to say; flashes asked for while hidden wait until it shows
// again. Where the pointer can only be followed over our own windows, leaving them counts as
// leaving.
//
// Every reference must outlive the controller; src/app hands in the production services:
//   NotchController notch(news, content, statusLine, links, preferences, scheduler, *desktop.screens,
//                         *desktop.pointer, *desktop.panelWindow, *desktop.reduceMotion);
//   notch.panel().show();
// Creating the controller follows the gate and the pointer; it does not show the panel.
class NotchController final : public QObject {
    Q_OBJECT
public:
    static constexpr double hoverMargin = 8;
    static constexpr double leaveMargin = 24;
    // A movement faster than this (points per second) is a pointer passing the notch on its way
    // elsewhere (to a browser tab, a title bar): it does not open the overlay.
    static constexpr double crossingSpeed = 1500;
    static constexpr double leaveDelay = 0.35;

    NotchController(NewsGate &news, const ModuleContent &content, StatusLine &statusLine, const LinkGate &links,
        PreferenceStore &preferences, Scheduler &scheduler, ScreenProvider &screens, PointerMonitor &pointer,
        PanelWindowSupport &panelWindow, const ReduceMotion &reduceMotion, QObject *parent = nullptr);
    ~NotchController() override;

    NotchPanel &panel() const { return *m_panel; }
    const NotchModel &model() const { return *m_model; }
    const NotchGeometry &geometry() const { return m_placement.geometry(); }

    // Shows `text` with a `color` dot in the status line, opens the overlay and closes it after
    // "notch.flashDuration" seconds unless it is pinned or the pointer rests on it by then.
    void flash(const QString &text, Color color);
    // Opens the overlay without the pointer (a command, a key): pinned, it stays until it is
    // closed; unpinned, it closes as after hovering, once the pointer moves away from it. Nothing
    // happens while a full-screen window hides it.
    void open(bool pinned);
    // Closes the overlay, pinned or not.
    void close();

Q_SIGNALS:
    // A right click on the overlay, or the menu key while it has the focus, asks for the
    // program's menu at `position` (global coordinates).
    void menuRequested(QPoint position);
    // A row that needs the user's action was opened: the settings pane named `pane` resolves it.
    void paneRequested(const QString &pane);

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
    void setExpanded(bool expanded);
    void scheduleChange(bool target, double delaySeconds, Condition condition);
    void arm(double due);
    void pendingDue();
    void followHidden(bool hidden);
    QRectF expandedArea() const;
    void placePanel();
    void showContent();
    void showStatus();
    void armAgeUpdate();
    void openRowAt(QPointF position);

    const ModuleContent &m_content;
    StatusLine &m_statusLine;
    const LinkGate &m_links;
    PreferenceStore &m_preferences;
    Scheduler &m_scheduler;
    PointerMonitor &m_pointer;
    NotchPlacement m_placement;
    std::unique_ptr<NotchModel> m_model;
    std::unique_ptr<NotchPanel> m_panel; // after the model: the view inside reads the model
    PendingChange m_pending;
    bool m_pointerInside = false;
    struct Sample {
        QPointF position;
        double at = -Scheduler::maximumDelay;
    };
    Sample m_lastMove; // where and when the pointer last moved
    CancelHandle m_ageUpdate;
    struct Flash {
        QString text;
        Color color;
    };
    std::optional<Flash> m_waitingFlash; // the newest flash asked for while hidden
};

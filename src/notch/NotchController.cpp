#include "notch/NotchController.h"

#include "core/EventBus.h"
#include "core/GitHubPage.h"
#include "core/Logging.h"
#include "core/ModuleRegistry.h"
#include "core/prefs/AppPreferences.h"
#include "core/prefs/PreferenceStore.h"
#include "notch/NotchContent.h"
#include "notch/NotchModel.h"
#include "notch/NotchPanel.h"
#include "notch/NotchView.h"
#include "platform/ScreenProvider.h"

#include <QPointer>

#include <algorithm>
#include <optional>
#include <utility>

namespace {

QRectF grown(const QRectF &rect, double margin)
{
    return rect.adjusted(-margin, -margin, margin, margin);
}

// Timers may wake a hair early; a job this close to its due time counts as due.
constexpr double dueTolerance = 1e-6;
constexpr double ageUpdateDelay = 0.005;

} // namespace

NotchController::NotchController(EventBus &bus, const ModuleRegistry &registry, PreferenceStore &preferences,
    Scheduler &scheduler, ScreenProvider &screens, PointerMonitor &pointer, PanelWindowSupport &panelWindow,
    const ReduceMotion &reduceMotion, QObject *parent)
    : QObject(parent)
    , m_registry(registry)
    , m_preferences(preferences)
    , m_scheduler(scheduler)
    , m_screens(screens)
    , m_pointer(pointer)
    , m_model(std::make_unique<NotchModel>())
{
    // Without any screen the overlay waits at the origin for the first configuration change.
    std::optional<ScreenInfo> screen
        = NotchGeometry::chosenScreen(screens, preferences.stringValue(AppPreferences::screen), pointer.position());
    if (!screen && !screens.screens().isEmpty())
        screen = screens.screens().constFirst();
    m_geometry = NotchGeometry::forScreen(screen.value_or(ScreenInfo {}));

    // The modules' rows and line are in the model before the panel is first laid out.
    rebuild();
    m_panel = std::make_unique<NotchPanel>(expandedArea().toAlignedRect(), panelWindow);
    m_panel->setContent(new NotchView(*m_model, m_geometry.collapsedSize, reduceMotion));
    m_panel->setInputOnShape(!pointer.isGlobal());
    m_panel->setClickThrough(true);

    connect(&pointer, &PointerMonitor::pointerEvent, this, &NotchController::handle);
    bus.subscribe(this, [](NotchController *self, const ModuleEvent &event) { self->handleBusEvent(event); });
    connect(&screens, &ScreenProvider::screensChanged, this, &NotchController::rebuildForScreen);
    for (DevModule *module : registry.modules())
        connect(module, &DevModule::changed, this, &NotchController::scheduleRebuild);
    connect(&registry, &ModuleRegistry::moduleAdded, this, [this](DevModule *module) {
        connect(module, &DevModule::changed, this, &NotchController::scheduleRebuild);
        scheduleRebuild();
    });
    connect(&registry, &ModuleRegistry::enabledChanged, this, &NotchController::scheduleRebuild);
    connect(&screens, &ScreenProvider::activeFullScreenWindowChanged, this, &NotchController::followFullScreen);
    connect(&preferences, &PreferenceStore::valueChanged, this, &NotchController::preferenceChanged);
    followFullScreen();
}

NotchController::~NotchController()
{
    m_pending.job.cancel();
    m_flashEnd.cancel();
    m_ageUpdate.cancel();
}

QRectF NotchController::expandedArea(QPointF topCentre, QSizeF size)
{
    return QRectF(topCentre.x() - size.width() / 2, topCentre.y(), size.width(), size.height());
}

QRectF NotchController::expandedArea() const
{
    return expandedArea(m_geometry.topCentre(), NotchGeometry::expandedSize(m_model->rows().size()));
}

void NotchController::placePanel()
{
    const QRect frame = expandedArea().toAlignedRect();
    if (frame != m_panel->geometry())
        m_panel->setFrame(frame);
}

void NotchController::scheduleRebuild()
{
    m_rebuild.request();
}

void NotchController::rebuild()
{
    const QList<ModuleRow> rows = NotchContent::rows(m_registry, NotchGeometry::maximumRows);
    if (rows != m_model->rows()) {
        const bool resized = rows.size() != m_model->rows().size();
        m_model->setAgesAt(QDateTime::currentDateTimeUtc());
        m_model->setRows(rows);
        if (resized && m_panel)
            placePanel();
        armAgeUpdate();
    }
    const ModuleStatus live = NotchContent::statusLine(m_registry);
    if (live == m_live)
        return;
    m_live = live;
    if (!m_flashEnd.isPending())
        showStatus(live);
    Q_EMIT statusLineChanged();
}

void NotchController::showStatus(const ModuleStatus &status)
{
    m_model->setStatusText(status.text);
    m_model->setStatusColor(status.color());
}

QRectF NotchController::collapsedArea() const
{
    return expandedArea(m_geometry.topCentre(), m_geometry.collapsedSize);
}

void NotchController::handleBusEvent(const ModuleEvent &event)
{
    if (!event.shouldExpand || !m_preferences.boolValue(AppPreferences::autoExpandOnEvents))
        return;
    flash(event.text, event.color);
}

void NotchController::flash(const QString &text, Color color)
{
    if (m_hiddenBesideFullScreen) {
        m_waitingFlash = Flash { text, color };
        return;
    }
    qCDebug(lcNotch) << "flash shown";
    m_model->setStatusText(text);
    m_model->setStatusColor(color);
    setExpanded(true);
    const double duration = m_preferences.doubleValue(AppPreferences::flashDuration);
    scheduleChange(false, duration, Condition::Flash);
    // The line returns to the modules' status after the same time, whether or not the overlay
    // could close by then.
    m_flashEnd.cancel();
    m_flashEnd = m_scheduler.schedule(duration, [self = QPointer<NotchController>(this)] {
        if (self)
            self->endFlash();
    });
    Q_EMIT statusLineChanged();
}

void NotchController::endFlash()
{
    showStatus(m_live);
    Q_EMIT statusLineChanged();
}

void NotchController::setExpanded(bool expanded)
{
    if (m_model->isExpanded() == expanded)
        return;
    if (expanded)
        m_model->setAgesAt(QDateTime::currentDateTimeUtc());
    qCDebug(lcNotch) << (expanded ? "overlay opens" : "overlay closes");
    m_model->setExpanded(expanded);
    m_panel->setClickThrough(!expanded);
    armAgeUpdate();
    // The overlay follows the pointer to another screen only while it is collapsed.
    if (!expanded && !m_hiddenBesideFullScreen
        && m_preferences.stringValue(AppPreferences::screen) == AppPreferences::screenWithPointer)
        rebuildForScreen();
}

void NotchController::armAgeUpdate()
{
    // One job at a time, and only while ages are on screen: due when the first of them changes.
    m_ageUpdate.cancel();
    if (!m_model->isExpanded())
        return;
    const QDateTime now = QDateTime::currentDateTimeUtc();
    std::optional<double> next;
    for (const ModuleRow &row : m_model->rows()) {
        if (row.since)
            next = std::min(next.value_or(Scheduler::maximumDelay), secondsUntilAgeChanges(*row.since, now));
    }
    if (!next)
        return;
    // A hair late rather than early, so the age has moved on when the job runs.
    m_ageUpdate = m_scheduler.schedule(*next + ageUpdateDelay, [self = QPointer<NotchController>(this)] {
        if (!self)
            return;
        self->m_model->setAgesAt(QDateTime::currentDateTimeUtc());
        self->armAgeUpdate();
    });
}

void NotchController::openRowAt(QPointF position)
{
    // The view fills the panel, whose top-left corner is the open area's.
    const int index = m_panel->content()->rowAt(position - expandedArea().topLeft());
    if (index >= 0)
        GitHubPage::open(m_model->rows().at(index).link);
}

void NotchController::handle(PointerEventType type)
{
    // Runs for every pointer event on the desktop: a few rectangle tests, no allocation.
    if (m_hiddenBesideFullScreen)
        return;
    const QPointF position = m_pointer.position();
    const bool expanded = m_model->isExpanded();
    const QRectF collapsed = collapsedArea();
    const QRectF open = expandedArea();

    if (type == PointerEventType::LeftMouseDown) {
        if (!expanded) {
            if (NotchGeometry::contains(collapsed, position)) {
                m_model->setPinned(true);
                setExpanded(true);
            }
        } else if (!NotchGeometry::contains(open, position) || NotchGeometry::contains(collapsed, position)) {
            m_model->setPinned(false);
            setExpanded(false);
        } else {
            openRowAt(position);
        }
        return;
    }

    // Once the pointer has left our windows, a monitor that sees only them knows no position
    // but the last one over them: that one must not count.
    if (type == PointerEventType::Left)
        m_pointerInside = false;
    else
        m_pointerInside = expanded ? NotchGeometry::contains(grown(open, leaveMargin), position)
                                   : NotchGeometry::contains(grown(collapsed, hoverMargin), position);
    // The hover preference only decides something here, so it is read only here.
    if (!expanded && m_pointerInside && m_preferences.boolValue(AppPreferences::hoverOpens)) {
        scheduleChange(true, hoverDelay, Condition::Always);
        return;
    }
    if (expanded && !m_model->isPinned() && !m_pointerInside) {
        scheduleChange(false, leaveDelay, Condition::Always);
        return;
    }
    m_pending.job.cancel();
}

void NotchController::scheduleChange(bool target, double delaySeconds, Condition condition)
{
    const double due = m_scheduler.now() + Scheduler::clampedDelay(delaySeconds);
    // Restarting the same change only moves its due time: the waiting job, when it wakes, sleeps
    // again for the rest. A stream of pointer movements thus restarts the delay without a new
    // timer per event.
    if (m_pending.job.isPending() && m_pending.target == target && m_pending.condition == condition
        && due >= m_pending.armedFor) {
        m_pending.due = due;
        return;
    }
    m_pending.job.cancel();
    m_pending.target = target;
    m_pending.condition = condition;
    m_pending.due = due;
    arm(due);
}

void NotchController::arm(double due)
{
    m_pending.armedFor = due;
    m_pending.job = m_scheduler.schedule(due - m_scheduler.now(), [self = QPointer<NotchController>(this)] {
        if (self)
            self->pendingDue();
    });
}

void NotchController::pendingDue()
{
    if (m_scheduler.now() + dueTolerance < m_pending.due) {
        arm(m_pending.due);
        return;
    }
    // The condition is evaluated now, not when the change was scheduled.
    if (m_pending.condition == Condition::Flash && (m_model->isPinned() || m_pointerInside))
        return;
    setExpanded(m_pending.target);
}

void NotchController::rebuildForScreen()
{
    placeOnChosenScreen();
    followFullScreen();
}

void NotchController::placeOnChosenScreen()
{
    const std::optional<ScreenInfo> screen = NotchGeometry::chosenScreen(
        m_screens, m_preferences.stringValue(AppPreferences::screen), m_pointer.position());
    if (!screen)
        return;
    m_geometry = NotchGeometry::forScreen(*screen);
    placePanel();
}

void NotchController::followFullScreen()
{
    const std::optional<QRectF> window = m_screens.activeFullScreenWindow();
    const bool hide = window && NotchGeometry::contains(m_geometry.screen.frame, window->center())
        && m_preferences.boolValue(AppPreferences::hideBesideFullScreen);
    if (hide == m_hiddenBesideFullScreen)
        return;
    // Set first: the collapse below must neither move the overlay nor look here again.
    m_hiddenBesideFullScreen = hide;
    if (hide) {
        m_pending.job.cancel();
        m_pointerInside = false;
        if (m_model->isPinned())
            m_model->setPinned(false);
        setExpanded(false);
    }
    m_panel->setSuppressed(hide);
    if (!hide && m_waitingFlash) {
        const Flash waiting = *std::exchange(m_waitingFlash, std::nullopt);
        flash(waiting.text, waiting.color);
    }
}

void NotchController::preferenceChanged(const QString &key)
{
    if (key == AppPreferences::screen)
        rebuildForScreen();
    else if (key == AppPreferences::hideBesideFullScreen)
        followFullScreen();
}

#include "notch/NotchController.h"

#include "core/ModuleContent.h"
#include "core/NewsGate.h"
#include "core/StatusLine.h"
#include "core/prefs/AppPreferences.h"
#include "core/prefs/PreferenceStore.h"
#include "notch/NotchContent.h"
#include "notch/NotchLogging.h"
#include "notch/NotchModel.h"
#include "notch/NotchPanel.h"
#include "notch/NotchView.h"

#include <QLineF>
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

NotchController::NotchController(NewsGate &news, const ModuleContent &content, StatusLine &statusLine,
    const LinkGate &links, PreferenceStore &preferences, Scheduler &scheduler, ScreenProvider &screens,
    PointerMonitor &pointer, PanelWindowSupport &panelWindow, const ReduceMotion &reduceMotion, QObject *parent)
    : QObject(parent)
    , m_content(content)
    , m_statusLine(statusLine)
    , m_links(links)
    , m_preferences(preferences)
    , m_scheduler(scheduler)
    , m_pointer(pointer)
    , m_placement(screens, pointer, preferences)
    , m_model(std::make_unique<NotchModel>())
{
    // The modules' rows and line are in the model before the panel is first laid out.
    showContent();
    showStatus();
    m_panel = std::make_unique<NotchPanel>(expandedArea().toAlignedRect(), panelWindow);
    m_panel->setContent(new NotchView(*m_model, links, geometry().collapsedSize, reduceMotion));
    m_panel->setInputOnShape(!pointer.isGlobal());
    m_panel->setClickThrough(true);
    connect(m_panel.get(), &NotchPanel::menuRequested, this, &NotchController::menuRequested);
    connect(m_panel->content(), &NotchView::paneRequested, this, &NotchController::paneRequested);

    connect(&pointer, &PointerMonitor::pointerEvent, this, &NotchController::handle);
    connect(&news, &NewsGate::interrupting, this,
        [this](const ModuleEvent &event) { flash(event.text, ModuleStatus::colorOf(event.severity)); });
    // The user's pause is named first: it outlasts the desktop's.
    const auto followPause = [this, &news] {
        m_model->setPause(news.isPausedByUser() ? NotchModel::Pause::ByUser
                : news.isQuietForDesktop()      ? NotchModel::Pause::ByDesktop
                                                : NotchModel::Pause::None);
    };
    followPause();
    connect(&news, &NewsGate::pauseChanged, this, followPause);
    connect(&content, &ModuleContent::changed, this, &NotchController::showContent);
    connect(&statusLine, &StatusLine::changed, this, &NotchController::showStatus);
    connect(&m_placement, &NotchPlacement::moved, this, &NotchController::placePanel);
    connect(&m_placement, &NotchPlacement::hiddenChanged, this, &NotchController::followHidden);
    if (m_placement.isHiddenBesideFullScreen())
        followHidden(true);
}

NotchController::~NotchController()
{
    m_pending.job.cancel();
    m_ageUpdate.cancel();
}

QRectF NotchController::expandedArea() const
{
    return m_placement.expandedArea(m_model->rows().size());
}

void NotchController::placePanel()
{
    const QRect frame = expandedArea().toAlignedRect();
    if (frame != m_panel->geometry())
        m_panel->setFrame(frame);
}

void NotchController::showContent()
{
    const QList<ModuleRow> rows = NotchContent::fitted(m_content.rows(), NotchGeometry::maximumRows);
    if (rows != m_model->rows()) {
        const bool resized = rows.size() != m_model->rows().size();
        m_model->setAgesAt(QDateTime::currentDateTimeUtc());
        m_model->setRows(rows);
        if (resized && m_panel)
            placePanel();
        armAgeUpdate();
    }
}

void NotchController::showStatus()
{
    m_model->setStatusText(m_statusLine.text());
    m_model->setStatusColor(m_statusLine.color());
}

void NotchController::flash(const QString &text, Color color)
{
    if (m_placement.isHiddenBesideFullScreen()) {
        m_waitingFlash = Flash { text, color };
        return;
    }
    qCDebug(lcNotch) << "flash shown";
    const double duration
        = AppPreferences::seconds(m_preferences, AppPreferences::flashDuration, AppPreferences::flashDurationRange);
    // The line returns to the modules' status after the same time, whether or not the overlay
    // could close by then.
    m_statusLine.flash(text, color, duration);
    setExpanded(true);
    scheduleChange(false, duration, Condition::Flash);
}

void NotchController::open(bool pinned)
{
    if (m_placement.isHiddenBesideFullScreen())
        return;
    m_pending.job.cancel();
    if (m_model->isPinned() != pinned)
        m_model->setPinned(pinned);
    setExpanded(true);
}

void NotchController::close()
{
    m_pending.job.cancel();
    if (m_model->isPinned())
        m_model->setPinned(false);
    setExpanded(false);
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
    if (!expanded)
        m_placement.followCollapse();
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
    const QPointF local = position - expandedArea().topLeft();
    const NotchView &view = *m_panel->content();
    const int index = view.rowAt(local);
    if (index < 0)
        return;
    // A copy: the row's action may change what the model lists.
    const ModuleRow row = m_model->rows().at(index);
    // The mark at a row's end is its second action; the rest of the row opens its page.
    if (view.secondaryRect(index).contains(local))
        row.actions.secondary();
    else
        row.open(m_links, [this](const QString &pane) { Q_EMIT paneRequested(pane); });
}

void NotchController::handle(PointerEventType type)
{
    // Runs for every pointer event on the desktop: a few rectangle tests, no allocation.
    if (m_placement.isHiddenBesideFullScreen())
        return;
    const QPointF position = m_pointer.position();
    const bool expanded = m_model->isExpanded();
    const QRectF collapsed = m_placement.collapsedArea();
    const QRectF open = expandedArea();

    if (type == PointerEventType::RightMouseDown) {
        // The open overlay, and the shape of one that takes its own clicks, see the press themselves.
        if (!expanded && m_pointer.isGlobal() && NotchGeometry::contains(collapsed, position))
            Q_EMIT menuRequested(position.toPoint());
        return;
    }
    if (type == PointerEventType::LeftMouseDown) {
        if (!expanded) {
            if (NotchGeometry::contains(collapsed, position))
                this->open(true);
        } else if (!NotchGeometry::contains(open, position) || NotchGeometry::contains(collapsed, position)) {
            close();
        } else {
            openRowAt(position);
        }
        return;
    }

    // A few operations per movement: the speed since the last one.
    const double now = m_scheduler.now();
    const bool passing = type == PointerEventType::MouseMoved
        && QLineF(m_lastMove.position, position).length() > crossingSpeed * (now - m_lastMove.at);
    m_lastMove = { position, now };

    // Once the pointer has left our windows, a monitor that sees only them knows no position
    // but the last one over them: that one must not count.
    if (type == PointerEventType::Left)
        m_pointerInside = false;
    else
        m_pointerInside = expanded ? NotchGeometry::contains(grown(open, leaveMargin), position)
                                   : NotchGeometry::contains(grown(collapsed, hoverMargin), position);
    // The hover preferences only decide something here, so they are read only here.
    if (!expanded && m_pointerInside && !passing && m_preferences.boolValue(AppPreferences::hoverOpens)) {
        scheduleChange(true,
            AppPreferences::seconds(m_preferences, AppPreferences::hoverDelay, AppPreferences::hoverDelayRange),
            Condition::Always);
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

void NotchController::followHidden(bool hidden)
{
    if (hidden) {
        m_pointerInside = false;
        close();
    }
    m_panel->setSuppressed(hidden);
    if (!hidden && m_waitingFlash) {
        const Flash waiting = *std::exchange(m_waitingFlash, std::nullopt);
        flash(waiting.text, waiting.color);
    }
}

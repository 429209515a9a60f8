#include "core/NewsGate.h"

#include "core/EventBus.h"
#include "core/ModuleRegistry.h"
#include "core/Scheduler.h"
#include "core/prefs/AppPreferences.h"
#include "core/prefs/PreferenceStore.h"

#include <QPointer>

#include <algorithm>
#include <utility>

namespace {

// Stored instead of a moment while the pause lasts until the user resumes.
const QString untilResumed = QStringLiteral("resume");

} // namespace

NewsGate::NewsGate(
    EventBus &bus, const ModuleRegistry &registry, PreferenceStore &preferences, Scheduler &scheduler, QObject *parent)
    : QObject(parent)
    , m_registry(registry)
    , m_preferences(preferences)
    , m_scheduler(scheduler)
{
    bus.subscribe(this, [](NewsGate *self, const ModuleEvent &event) {
        const bool announces = !event.recordOnly && self->announces(event);
        const bool interrupts = announces && self->m_preferences.boolValue(AppPreferences::autoExpandOnEvents);
        self->m_history.record(event, interrupts);
        if (announces)
            Q_EMIT self->announced(event);
        if (interrupts)
            Q_EMIT self->interrupting(event);
    });
    connect(&preferences, &PreferenceStore::valueChanged, this, [this](const QString &key) {
        if (key == QLatin1String(pausedUntilKey))
            followPause();
        else if (key == AppPreferences::followDoNotDisturb && m_desktopDoNotDisturb)
            Q_EMIT pauseChanged();
    });
    followPause();
}

NewsGate::~NewsGate()
{
    m_pauseEnd.cancel();
}

bool NewsGate::isQuietForDesktop() const
{
    return m_desktopDoNotDisturb && m_preferences.boolValue(AppPreferences::followDoNotDisturb);
}

void NewsGate::setDesktopDoNotDisturb(bool on)
{
    if (std::exchange(m_desktopDoNotDisturb, on) != on)
        Q_EMIT pauseChanged();
}

bool NewsGate::isPausedByUser() const
{
    const QString stored = m_preferences.stringValue(QString::fromLatin1(pausedUntilKey));
    if (stored == untilResumed)
        return true;
    const QDateTime end = QDateTime::fromString(stored, Qt::ISODate);
    return end.isValid() && QDateTime::currentDateTimeUtc() < end;
}

std::optional<QDateTime> NewsGate::pauseEnd() const
{
    const QDateTime end
        = QDateTime::fromString(m_preferences.stringValue(QString::fromLatin1(pausedUntilKey)), Qt::ISODate);
    return end.isValid() && isPausedByUser() ? std::optional(end.toLocalTime()) : std::nullopt;
}

void NewsGate::pause(PauseLength length)
{
    const QDateTime now = QDateTime::currentDateTime();
    switch (length) {
    case PauseLength::Hour:
        return pauseUntil(now.addSecs(3600));
    case PauseLength::UntilMorning:
        return pauseUntil(nextMorning(now));
    case PauseLength::UntilResumed:
        return pauseUntilResumed();
    }
}

void NewsGate::pauseUntil(const QDateTime &end)
{
    m_preferences.setValue(QString::fromLatin1(pausedUntilKey), end.toUTC().toString(Qt::ISODate));
}

void NewsGate::pauseUntilResumed()
{
    m_preferences.setValue(QString::fromLatin1(pausedUntilKey), untilResumed);
}

void NewsGate::resume()
{
    m_preferences.remove(QString::fromLatin1(pausedUntilKey));
}

bool NewsGate::announces(const ModuleEvent &event) const
{
    if (isPaused())
        return false;
    const QList<ModuleNewsKind> kinds = m_registry.newsKinds();
    const bool switchable = !event.kind.isEmpty()
        && std::any_of(kinds.cbegin(), kinds.cend(), [&](const ModuleNewsKind &kind) { return kind.id == event.kind; });
    return !switchable || m_preferences.boolValue(AppPreferences::interruptKey(event.kind));
}

QDateTime NewsGate::nextMorning(const QDateTime &now)
{
    const QDateTime local = now.toLocalTime();
    QDateTime morning(local.date(), QTime(morningHour, 0));
    if (morning <= local)
        morning = QDateTime(local.date().addDays(1), QTime(morningHour, 0));
    return morning;
}

void NewsGate::followPause()
{
    m_pauseEnd.cancel();
    // The job only tells the displays that the pause is over; isPaused() reads the wall clock
    // itself, so a job held up by a suspended computer changes nothing but the moment of that news.
    if (const std::optional<QDateTime> end = pauseEnd()) {
        const double seconds = double(QDateTime::currentDateTimeUtc().msecsTo(*end)) / 1000.0 + 1;
        m_pauseEnd = m_scheduler.schedule(seconds, [self = QPointer(this)] {
            if (self)
                self->followPause();
        });
    }
    Q_EMIT pauseChanged();
}

#include "services/TokenExpiry.h"

#include "core/Scheduler.h"
#include "core/prefs/PreferenceStore.h"
#include "services/ApiCredentials.h"

#include <QCoreApplication>
#include <QLocale>
#include <QRegularExpression>

#include <algorithm>

TokenExpiry::TokenExpiry(const ApiCredentials &credentials, Service service, Scheduler &scheduler,
    PreferenceStore &preferences, WallClock now, QObject *parent)
    : QObject(parent)
    , m_credentials(credentials)
    , m_service(service)
    , m_scheduler(scheduler)
    , m_preferences(preferences)
    , m_now(std::move(now))
{
    connect(&m_credentials, &ApiCredentials::changed, this, &TokenExpiry::follow);
    connect(&m_credentials, &ApiCredentials::expiryNoted, this, &TokenExpiry::follow);
    follow();
}

TokenExpiry::~TokenExpiry()
{
    m_next.cancel();
}

std::optional<QString> TokenExpiry::warningText() const
{
    return m_shown;
}

QString TokenExpiry::dayAndMonth(const QDate &date)
{
    // The locale's short date without the year and separators at either end (the year stands
    // first or last): "dd.MM.yy" gives "dd.MM.", "M/d/yy" gives "M/d", "yyyy-MM-dd" gives "MM-dd".
    QString format = QLocale().dateFormat(QLocale::ShortFormat);
    static const QRegularExpression yearAtEnds(QStringLiteral("^[^dM]+|[^dM.]+$"));
    format.remove(yearAtEnds);
    return QLocale().toString(date, format);
}

void TokenExpiry::follow()
{
    const std::optional<QDateTime> end = m_credentials.expiry();
    const QDateTime now = m_now();
    const bool warning = end && now < *end && now >= end->addDays(-warningDays);
    const std::optional<QString> shown = warning
        ? std::optional(
            QCoreApplication::translate("TokenExpiry", m_service.warning).arg(dayAndMonth(end->toLocalTime().date())))
        : std::nullopt;
    if (shown != m_shown) {
        m_shown = shown;
        Q_EMIT changed();
    }
    if (!end || now >= *end) {
        m_next.cancel();
        m_nextAt = {};
        return;
    }

    // The day before the end, from its local midnight on: flashed once for this end.
    const QDateTime dayBefore = end->toLocalTime().date().addDays(-1).startOfDay();
    const QString endText = end->toUTC().toString(Qt::ISODate);
    const QString warnedKey = QString::fromLatin1(m_service.warnedKey);
    if (warning && now >= dayBefore && m_preferences.stringValue(warnedKey) != endText) {
        m_preferences.setValue(warnedKey, endText);
        Q_EMIT TokenExpiry::dayBefore(*m_shown);
    }
    // The next moment that changes something: the warning's start, the day before, the end.
    QDateTime next = *end;
    for (const QDateTime &moment : { end->addDays(-warningDays), dayBefore }) {
        if (now < moment)
            next = std::min(next, moment);
    }
    if (next == m_nextAt)
        return; // already asked for
    m_nextAt = next;
    m_next.cancel();
    m_next = m_scheduler.schedule(std::max(1.0, double(now.msecsTo(next)) / 1000.0), [this] {
        m_nextAt = {}; // also when the scheduler cut a long wait short
        follow();
    });
}

#include "services/ApiCredentials.h"

#include "services/ApiBudget.h"

ApiCredentials::ApiCredentials(LogCategory category, std::optional<QString> token, QObject *parent)
    : QObject(parent)
    , m_log(category)
    , m_token(std::move(token))
{ }

void ApiCredentials::noteAccepted(const QString &, const ApiResponse &)
{ }

void ApiCredentials::setToken(std::optional<QString> token)
{
    if (token == m_token && !m_refused && m_limit.hasExpired() && !m_storeUnavailable && !m_reading)
        return;
    if (token != m_token)
        takeNewToken(std::move(token));
    m_refused = false;
    m_storeUnavailable = false;
    m_reading = false;
    m_limit = QDeadlineTimer();
    Q_EMIT changed();
}

void ApiCredentials::takeNewToken(std::optional<QString> token)
{
    ++m_generation;
    m_token = std::move(token);
    m_expiry.reset(); // what the service said of the token before is forgotten
}

void ApiCredentials::restartWith(const SecretStore::ReadResult &stored)
{
    // Counts as a new token even where it reads the same: nothing the other server said stays.
    takeNewToken(stored.state == SecretStore::ReadResult::State::Found ? std::optional(stored.text) : std::nullopt);
    m_storeUnavailable = stored.state == SecretStore::ReadResult::State::Unavailable;
    m_reading = false;
    m_refused = false;
    m_limit = QDeadlineTimer();
    Q_EMIT changed();
}

void ApiCredentials::takeStored(const SecretStore::ReadResult &stored)
{
    switch (stored.state) {
    case SecretStore::ReadResult::State::Found:
        return setToken(stored.text);
    case SecretStore::ReadResult::State::NoItem:
        return setToken(std::nullopt);
    case SecretStore::ReadResult::State::Unavailable:
        break;
    }
    if (!m_reading && (m_token || m_storeUnavailable))
        return;
    m_reading = false;
    m_storeUnavailable = !m_token;
    Q_EMIT changed();
}

void ApiCredentials::awaitStored()
{
    if (m_reading)
        return;
    m_reading = true;
    Q_EMIT changed();
}

void ApiCredentials::markRefused(const QString &token)
{
    if (m_token != token || m_refused)
        return;
    m_refused = true;
    Q_EMIT changed();
}

void ApiCredentials::markAccepted(const QString &token)
{
    if (m_token != token || !m_refused)
        return;
    m_refused = false;
    Q_EMIT changed();
}

void ApiCredentials::markLimited(const QString &token, qint64 seconds)
{
    const QDeadlineTimer until(seconds * 1000, Qt::PreciseTimer);
    if (m_token != token || (!m_limit.hasExpired() && m_limit.deadline() >= until.deadline()))
        return;
    m_limit = until;
    Q_EMIT changed();
}

void ApiCredentials::noteExpiry(const QString &token, const QDateTime &end)
{
    if (m_token != token)
        return;
    if (end != m_expiry) {
        m_expiry = end;
        Q_EMIT changed();
    }
    Q_EMIT expiryNoted();
}

std::optional<qint64> ApiCredentials::limitRemaining() const
{
    const qint64 left = m_limit.remainingTime();
    if (left <= 0)
        return std::nullopt;
    return (left + 999) / 1000;
}

std::optional<QString> ApiCredentials::tokenFromInput(const QString &input)
{
    QString token = input.trimmed();
    if (token.isEmpty())
        return std::nullopt;
    return token;
}

ApiBudget *ApiCredentials::budget() const
{
    return m_budget;
}

void ApiCredentials::setBudget(ApiBudget *budget)
{
    m_budget = budget;
}

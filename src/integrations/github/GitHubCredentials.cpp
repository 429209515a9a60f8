#include "integrations/github/GitHubCredentials.h"

#include "integrations/github/GitHubBudget.h"

#include <QRegularExpression>

GitHubCredentials::GitHubCredentials(std::optional<QString> token, QObject *parent)
    : QObject(parent)
    , m_token(std::move(token))
{ }

void GitHubCredentials::setToken(std::optional<QString> token)
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

void GitHubCredentials::takeNewToken(std::optional<QString> token)
{
    ++m_generation;
    m_token = std::move(token);
    m_expiry.reset();
}

void GitHubCredentials::useServer(const GitHubServer &server, const SecretStore::ReadResult &stored)
{
    if (server == m_server)
        return takeStored(stored);
    m_server = server;
    // Counts as a new token even where it reads the same: nothing GitHub said of the other stays.
    takeNewToken(stored.state == SecretStore::ReadResult::State::Found ? std::optional(stored.text) : std::nullopt);
    m_storeUnavailable = stored.state == SecretStore::ReadResult::State::Unavailable;
    m_reading = false;
    m_refused = false;
    m_limit = QDeadlineTimer();
    Q_EMIT changed();
}

void GitHubCredentials::takeStored(const SecretStore::ReadResult &stored)
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

void GitHubCredentials::awaitStored()
{
    if (m_reading)
        return;
    m_reading = true;
    Q_EMIT changed();
}

void GitHubCredentials::markRefused(const QString &token)
{
    if (m_token != token || m_refused)
        return;
    m_refused = true;
    Q_EMIT changed();
}

void GitHubCredentials::markAccepted(const QString &token)
{
    if (m_token != token || !m_refused)
        return;
    m_refused = false;
    Q_EMIT changed();
}

void GitHubCredentials::noteExpiry(const QString &token, const QDateTime &end)
{
    if (m_token != token)
        return;
    if (end != m_expiry) {
        m_expiry = end;
        Q_EMIT changed();
    }
    Q_EMIT expiryNoted();
}

std::optional<QDateTime> GitHubCredentials::expiryFromHeader(const QByteArray &value)
{
    static const QRegularExpression form(
        QStringLiteral("^(\\d{4}-\\d{2}-\\d{2}) (\\d{2}:\\d{2}:\\d{2})\\s*(?:UTC|GMT|([+-])(\\d{2}):?(\\d{2}))?$"));
    const QRegularExpressionMatch match = form.match(QString::fromLatin1(value.trimmed()));
    if (!match.hasMatch())
        return std::nullopt;
    const QDate date = QDate::fromString(match.captured(1), QStringLiteral("yyyy-MM-dd"));
    const QTime time = QTime::fromString(match.captured(2), QStringLiteral("HH:mm:ss"));
    // No zone on earth lies further from UTC than 14 hours.
    const int minutes = match.captured(5).toInt();
    const int offset = match.captured(4).toInt() * 60 + minutes;
    if (!date.isValid() || !time.isValid() || minutes > 59 || offset > 14 * 60)
        return std::nullopt;
    // Counted from UTC, never from local time: a wall time that summer time skips locally is
    // still a moment.
    return QDateTime(date, time, Qt::UTC).addSecs(qint64(match.captured(3) == u"-" ? offset : -offset) * 60);
}

void GitHubCredentials::markLimited(const QString &token, qint64 seconds)
{
    const QDeadlineTimer until(seconds * 1000, Qt::PreciseTimer);
    if (m_token != token || (!m_limit.hasExpired() && m_limit.deadline() >= until.deadline()))
        return;
    m_limit = until;
    Q_EMIT changed();
}

std::optional<qint64> GitHubCredentials::limitRemaining() const
{
    const qint64 left = m_limit.remainingTime();
    if (left <= 0)
        return std::nullopt;
    return (left + 999) / 1000;
}

std::optional<QString> GitHubCredentials::tokenFromInput(const QString &input)
{
    QString token = input.trimmed();
    if (token.isEmpty())
        return std::nullopt;
    return token;
}

GitHubBudget *GitHubCredentials::budget() const
{
    return m_budget;
}

void GitHubCredentials::setBudget(GitHubBudget *budget)
{
    m_budget = budget;
}

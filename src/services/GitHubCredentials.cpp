#include "services/GitHubCredentials.h"

#include "core/LocalTime.h"
#include "services/GitHubBudget.h"

#include <QRegularExpression>

GitHubCredentials::GitHubCredentials(std::optional<QString> token, QObject *parent)
    : QObject(parent)
    , m_token(std::move(token))
{ }

void GitHubCredentials::setToken(std::optional<QString> token)
{
    if (token == m_token && !m_refused && m_limit.hasExpired() && !m_storeUnavailable)
        return;
    if (token != m_token)
        takeNewToken(std::move(token));
    m_refused = false;
    m_storeUnavailable = false;
    m_limit = QDeadlineTimer();
    Q_EMIT changed();
}

void GitHubCredentials::takeNewToken(std::optional<QString> token)
{
    ++m_generation;
    m_token = std::move(token);
    m_cannotMarkRead = false;
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
    if (m_token || m_storeUnavailable)
        return;
    m_storeUnavailable = true;
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
        QStringLiteral("^(\\d{4}-\\d{2}-\\d{2} \\d{2}:\\d{2}:\\d{2})\\s*(UTC|GMT|[+-]\\d{2}:?\\d{2})?$"));
    const QRegularExpressionMatch match = form.match(QString::fromLatin1(value.trimmed()));
    if (!match.hasMatch())
        return std::nullopt;
    QDateTime end = QDateTime::fromString(match.captured(1), QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    if (!end.isValid())
        return std::nullopt;
    QString zone = match.captured(2);
    if (zone.isEmpty() || zone == u"UTC" || zone == u"GMT")
        zone = QStringLiteral("+0000");
    zone.remove(u':');
    const int offset = (zone.mid(1, 2).toInt() * 60 + zone.mid(3, 2).toInt()) * 60;
    end.setOffsetFromUtc(zone.startsWith(u'-') ? -offset : offset);
    return end.toUTC();
}

void GitHubCredentials::markCannotMarkRead(quint64 generation)
{
    if (generation != m_generation || m_cannotMarkRead)
        return;
    m_cannotMarkRead = true;
    Q_EMIT changed();
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

QString GitHubCredentials::limitText(const QDateTime &until)
{
    return tr("GitHub-Limit erreicht – weiter um %1").arg(shortLocalTime(until));
}

std::optional<QString> GitHubCredentials::problemText() const
{
    if (m_storeUnavailable)
        return storeUnavailableText();
    if (m_refused)
        return refusedText();
    if (const std::optional<qint64> left = limitRemaining())
        return limitText(QDateTime::currentDateTime().addSecs(*left));
    return std::nullopt;
}

QString GitHubCredentials::resolvingPane() const
{
    return !m_token || m_refused || m_storeUnavailable ? QString(accountPane) : QString();
}

QString GitHubCredentials::refusedText()
{
    return tr("GitHub lehnt den Token ab (abgelaufen oder widerrufen)");
}

QString GitHubCredentials::storeUnavailableText()
{
    return tr("Schlüsselbund nicht verfügbar");
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

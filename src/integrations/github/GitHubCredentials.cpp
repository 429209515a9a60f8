#include "integrations/github/GitHubCredentials.h"

#include "integrations/github/GitHubLogging.h"
#include "services/ApiResponse.h"

#include <QRegularExpression>

GitHubCredentials::GitHubCredentials(std::optional<QString> token, QObject *parent)
    : ApiCredentials(&lcGitHub, std::move(token), parent)
{ }

void GitHubCredentials::useServer(const GitHubServer &server, const SecretStore::ReadResult &stored)
{
    if (server == m_server)
        return takeStored(stored);
    m_server = server;
    restartWith(stored);
}

std::optional<QUrl> GitHubCredentials::ownApiRoot() const
{
    return m_server.isPublic() ? std::nullopt : std::optional(m_server.apiRoot());
}

void GitHubCredentials::noteAccepted(const QString &token, const ApiResponse &answer)
{
    // Absent for a token that does not expire; a token's end never goes away, so an answer
    // without it (or with one that cannot be read) changes nothing.
    if (const std::optional<QDateTime> end
        = expiryFromHeader(answer.header("github-authentication-token-expiration").value_or(QByteArray())))
        noteExpiry(token, *end);
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

#include "services/GitHubCredentials.h"

GitHubCredentials::GitHubCredentials(std::optional<QString> token, QObject *parent)
    : QObject(parent)
    , m_token(std::move(token))
{ }

void GitHubCredentials::setToken(std::optional<QString> token)
{
    if (token == m_token && !m_refused && m_limitedUntil.isNull() && !m_storeUnavailable)
        return;
    m_token = std::move(token);
    m_refused = false;
    m_storeUnavailable = false;
    m_limitedUntil = QDateTime();
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

void GitHubCredentials::markLimited(const QString &token, const QDateTime &until)
{
    if (m_token != token || (m_limitedUntil.isValid() && m_limitedUntil >= until))
        return;
    m_limitedUntil = until;
    Q_EMIT changed();
}

std::optional<QDateTime> GitHubCredentials::limitedUntil() const
{
    if (!m_limitedUntil.isValid() || m_limitedUntil <= QDateTime::currentDateTimeUtc())
        return std::nullopt;
    return m_limitedUntil;
}

QString GitHubCredentials::limitText(const QDateTime &until)
{
    return tr("GitHub-Limit erreicht – weiter um %1").arg(until.toLocalTime().toString(QStringLiteral("HH:mm")));
}

std::optional<QString> GitHubCredentials::problemText() const
{
    if (m_storeUnavailable)
        return storeUnavailableText();
    if (m_refused)
        return refusedText();
    if (const std::optional<QDateTime> until = limitedUntil())
        return limitText(*until);
    return std::nullopt;
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

#include "services/GitHubCredentials.h"

GitHubCredentials::GitHubCredentials(std::optional<QString> token, QObject *parent)
    : QObject(parent)
    , m_token(std::move(token))
{ }

void GitHubCredentials::setToken(std::optional<QString> token)
{
    if (token == m_token && !m_refused)
        return;
    m_token = std::move(token);
    m_refused = false;
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

QString GitHubCredentials::refusedText()
{
    return QStringLiteral("GitHub lehnt den Token ab (abgelaufen oder widerrufen)");
}

std::optional<QString> GitHubCredentials::tokenFromInput(const QString &input)
{
    QString token = input.trimmed();
    if (token.isEmpty())
        return std::nullopt;
    return token;
}

#include "integrations/gitlab/GitLabCredentials.h"

#include "integrations/gitlab/GitLabLogging.h"

GitLabCredentials::GitLabCredentials(std::optional<QString> token, QObject *parent)
    : ApiCredentials(&lcGitLab, std::move(token), parent)
{ }

void GitLabCredentials::useServer(const GitLabServer &server, const SecretStore::ReadResult &stored)
{
    if (server == m_server)
        return takeStored(stored);
    m_server = server;
    restartWith(stored);
}

void GitLabCredentials::noteAccepted(const QString &token, const ApiResponse &)
{
    if (const std::optional<QDateTime> end = expiry())
        noteExpiry(token, *end);
}

std::optional<QUrl> GitLabCredentials::ownApiRoot() const
{
    return m_server.isPublic() ? std::nullopt : std::optional(m_server.apiRoot());
}

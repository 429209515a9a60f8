#include "integrations/gitlab/GitLabAccount.h"

#include "integrations/gitlab/GitLabClient.h"
#include "integrations/gitlab/GitLabCredentials.h"
#include "integrations/gitlab/GitLabErrorText.h"
#include "integrations/gitlab/GitLabLogging.h"

GitLabAccount::GitLabAccount(SecretStore &secrets, GitLabCredentials &credentials, const GitLabClient &client,
    PreferenceStore &preferences, QObject *parent)
    : TokenAccount(secrets, credentials, parent)
    , m_credentials(credentials)
    , m_client(client)
    , m_preferences(preferences)
{ }

QString GitLabAccount::secretAccount() const
{
    return m_credentials.server().tokenAccount();
}

TokenAccount::ServerAt GitLabAccount::serverAt(const QString &input) const
{
    const std::optional<GitLabServer> server = GitLabServer::fromAddress(input);
    if (!server)
        return GitLabServer::invalidAddressText();
    return Server { server->tokenAccount(), [this, server = *server](const SecretStore::ReadResult &stored) {
                       qCDebug(lcGitLab).noquote() << "GitLab server" << server.name();
                       server.store(m_preferences);
                       m_credentials.useServer(server, stored);
                   } };
}

QString GitLabAccount::serverAddress() const
{
    return m_credentials.server().address();
}

QString GitLabAccount::apiHost() const
{
    return m_credentials.server().apiRoot().authority();
}

QString GitLabAccount::serverPlaceholder() const
{
    return tr("gitlab.com – oder die Adresse eines eigenen GitLab-Servers");
}

QString GitLabAccount::note() const
{
    return tr("Ein persönlicher Zugriffstoken mit dem Scope api (read_api genügt zum Beobachten). Er liegt im "
              "Schlüsselbund des Systems und geht nur an die GitLab-API (%1).")
        .arg(apiHost());
}

CancelHandle GitLabAccount::askWho(std::function<void(const ApiResult<QString> &login)> done)
{
    return m_client.currentUser(std::move(done));
}

QString GitLabAccount::lookupErrorText(const ApiError &error) const
{
    return GitLabErrorText::of(error, GitLabErrorText::Asked::Account);
}

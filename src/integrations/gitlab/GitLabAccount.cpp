#include "integrations/gitlab/GitLabAccount.h"

#include "core/prefs/PreferenceStore.h"
#include "integrations/gitlab/GitLabClient.h"
#include "integrations/gitlab/GitLabCredentials.h"
#include "integrations/gitlab/GitLabErrorText.h"
#include "integrations/gitlab/GitLabLogging.h"
#include "services/TokenExpiry.h"

GitLabAccount::GitLabAccount(SecretStore &secrets, GitLabCredentials &credentials, const GitLabClient &client,
    const TokenExpiry &expiry, PreferenceStore &preferences, QObject *parent)
    : TokenAccount(secrets, credentials, parent)
    , m_credentials(credentials)
    , m_client(client)
    , m_expiry(expiry)
    , m_preferences(preferences)
{
    connect(&m_credentials, &ApiCredentials::changed, this, &GitLabAccount::askEnd);
    connect(&m_expiry, &TokenExpiry::changed, this, &GitLabAccount::changed);
    askEnd();
}

GitLabAccount::~GitLabAccount()
{
    m_endLookup.cancel();
}

QList<TokenAccount::Line> GitLabAccount::lines() const
{
    return { { budgetText(), true }, { m_expiry.warningText().value_or(QString()), false } };
}

void GitLabAccount::takeIntoUse()
{
    if (m_inUse)
        return;
    m_inUse = true;
    m_preferences.setValue(inUseKey, true);
    m_credentials.awaitStored();
    readAgain();
}

void GitLabAccount::askEnd()
{
    const quint64 generation = m_credentials.tokenGeneration();
    if (m_endAskedFor == generation)
        return;
    m_endLookup.cancel();
    m_endAskedFor = generation;
    const std::optional<QString> token = m_credentials.token();
    if (!token)
        return;
    m_endLookup = m_client.tokenEnd([this, generation, token = *token](const ApiResult<std::optional<QDateTime>> &end) {
        m_endLookup = {};
        if (end.isOk()) {
            if (end.value())
                m_credentials.noteExpiry(token, *end.value());
            return;
        }
        // An older GitLab answers 404, a token without the scope 403: its end stays unknown, with
        // nothing to warn of and nothing to mend. A failure that may pass (the network, GitLab's
        // wait, a server error) is asked again at the next check.
        const ApiError &error = end.error();
        const bool lasting = error.kind() == ApiError::Kind::Decode
            || (error.kind() == ApiError::Kind::Http && error.statusCode() < 500);
        if (!lasting && m_endAskedFor == generation)
            m_endAskedFor.reset();
    });
}

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
    askEnd(); // where the last question failed
    return m_client.currentUser(std::move(done));
}

QString GitLabAccount::lookupErrorText(const ApiError &error) const
{
    return GitLabErrorText::of(error, GitLabErrorText::Asked::Account);
}

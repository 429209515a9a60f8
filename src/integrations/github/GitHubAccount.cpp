#include "integrations/github/GitHubAccount.h"

#include "integrations/github/GitHubCredentials.h"
#include "integrations/github/GitHubErrorText.h"
#include "integrations/github/GitHubLogging.h"
#include "services/TokenExpiry.h"

GitHubAccount::GitHubAccount(SecretStore &secrets, GitHubCredentials &credentials, const GitHubApi &api,
    const TokenExpiry &expiry, PreferenceStore &preferences, QObject *parent)
    : TokenAccount(secrets, credentials, parent)
    , m_credentials(credentials)
    , m_api(api)
    , m_expiry(expiry)
    , m_preferences(preferences)
{
    connect(&m_expiry, &TokenExpiry::changed, this, &GitHubAccount::changed);
}

QString GitHubAccount::expiryText() const
{
    return m_expiry.warningText().value_or(QString());
}

void GitHubAccount::noteCannotMarkRead(quint64 generation)
{
    if (generation != m_credentials.tokenGeneration() || m_cannotMarkReadFor == generation)
        return;
    m_cannotMarkReadFor = generation;
    Q_EMIT changed();
}

QString GitHubAccount::secretAccount() const
{
    return m_credentials.server().tokenAccount();
}

TokenAccount::ServerAt GitHubAccount::serverAt(const QString &input) const
{
    const std::optional<GitHubServer> server = GitHubServer::fromAddress(input);
    if (!server)
        return GitHubServer::invalidAddressText();
    return Server { server->tokenAccount(), [this, server = *server](const SecretStore::ReadResult &stored) {
                       qCDebug(lcGitHub).noquote() << "GitHub server" << server.name();
                       server.store(m_preferences);
                       m_credentials.useServer(server, stored);
                   } };
}

QString GitHubAccount::serverAddress() const
{
    return m_credentials.server().address();
}

QString GitHubAccount::apiHost() const
{
    return m_credentials.server().apiRoot().host();
}

QString GitHubAccount::serverPlaceholder() const
{
    return tr("github.com – oder die Adresse eines GitHub Enterprise Servers");
}

QString GitHubAccount::note() const
{
    return tr("Der Token liegt im Schlüsselbund des Systems und geht nur an die GitHub-API (%1). "
              "Beide GitHub-Module nutzen ihn ab ihrer nächsten Anfrage.")
        .arg(apiHost());
}

QList<TokenAccount::Line> GitHubAccount::lines() const
{
    return { { scopesText(), true }, { budgetText(), true }, { notificationsText(), false }, { expiryText(), false } };
}

CancelHandle GitHubAccount::askWho(std::function<void(const ApiResult<QString> &login)> done)
{
    return m_api.currentUser([this, done = std::move(done)](const GitHubResult<GitHubUser> &result) {
        if (!result.isOk())
            return done(result.error());
        m_user = result.value();
        done(m_user->login);
    });
}

QString GitHubAccount::lookupErrorText(const ApiError &error) const
{
    return GitHubErrorText::of(error, GitHubErrorText::Asked::Account);
}

QString GitHubAccount::scopesText() const
{
    if (!m_user || m_credentials.isRefused())
        return {};
    if (!m_user->scopes)
        return tr("Fein granuliertes Token");
    if (m_user->scopes->isEmpty())
        return tr("Berechtigungen: keine");
    return tr("Berechtigungen: %1").arg(m_user->scopes->join(QStringLiteral(", ")));
}

QString GitHubAccount::notificationsText() const
{
    if (m_user && !m_credentials.isRefused()) {
        const QStringList scopes = m_user->scopes.value_or(QStringList());
        if (!m_user->scopes || !(scopes.contains(u"notifications") || scopes.contains(u"repo")))
            return GitHubErrorText::notificationsNeedClassicToken();
    }
    if (m_cannotMarkReadFor == m_credentials.tokenGeneration())
        return tr("Der Token darf Benachrichtigungen nicht als gelesen markieren (Scope notifications oder repo "
                  "nötig).");
    return {};
}

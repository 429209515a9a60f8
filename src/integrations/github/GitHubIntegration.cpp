#include "integrations/github/GitHubIntegration.h"

#include "core/prefs/PreferenceStore.h"
#include "integrations/github/GitHubAccountPane.h"
#include "integrations/github/GitHubRepository.h"
#include "integrations/github/GitHubTokenState.h"

#include <QVariantMap>

namespace {

GitHubTransport::Endpoint endpointFor(const TestEndpoint &test)
{
    GitHubTransport::Endpoint endpoint;
    if (!test.apiRoot.isEmpty())
        endpoint.apiRoot = test.apiRoot;
    endpoint.extraTrustedCertificates = test.trustedCertificates;
    return endpoint;
}

} // namespace

GitHubIntegration::GitHubIntegration(const IntegrationContext &context, QObject *parent)
    : Integration(parent)
    , m_endpoint(endpointFor(context.testEndpoint))
    , m_network(context.network)
    , m_budget(m_credentials, context.scheduler)
    , m_expiry(m_credentials, tokenEnd, context.scheduler, context.preferences)
    , m_accountClient(context.network, m_credentials, m_endpoint)
    , m_account(std::make_unique<GitHubAccount>(
          context.secrets, m_credentials, m_accountClient, m_expiry, context.preferences))
{
    context.preferences.registerDefaults(
        { { GitHubRepository::listKey, QStringList { GitHubRepository::tarnletRepository } } });
    // The configured server's token is read once start() runs; until then every part says so.
    m_credentials.useServer(GitHubServer::stored(context.preferences), SecretStore::ReadResult::noItem());
    m_credentials.awaitStored();
    connect(&m_expiry, &TokenExpiry::changed, this, &Integration::noticeChanged);
}

GitHubIntegration::~GitHubIntegration() = default;

std::unique_ptr<GitHubClient> GitHubIntegration::makeClient()
{
    return std::make_unique<GitHubClient>(m_network, m_credentials, m_endpoint);
}

QList<IntegrationPane> GitHubIntegration::panes() const
{
    GitHubAccount *account = m_account.get();
    return { { QString(GitHubTokenState::accountPane), tr("GitHub-Konto"), QStringLiteral("person.badge.key"),
        [account] { return new GitHubAccountPane(*account); } } };
}

bool GitHubIntegration::mayOpen(const QUrl &url) const
{
    return m_credentials.server().isWebPage(url);
}

void GitHubIntegration::start()
{
    // Without waiting: a locked keyring's prompt must not hold the program back.
    m_account->readAgain();
}

void GitHubIntegration::secretStoreAppeared()
{
    m_account->readAgain();
}

std::optional<QString> GitHubIntegration::notice() const
{
    return m_expiry.warningText();
}

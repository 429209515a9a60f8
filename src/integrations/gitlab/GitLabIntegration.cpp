#include "integrations/gitlab/GitLabIntegration.h"

#include "integrations/gitlab/GitLabErrorText.h"
#include "services/account/TokenAccountPane.h"

namespace {

ApiTransport::Endpoint endpointFor(const TestEndpoint &test)
{
    ApiTransport::Endpoint endpoint = GitLabClient::defaultEndpoint();
    // A test's server stands for gitlab.com's API, below its own /api/v4.
    if (!test.apiRoot.isEmpty())
        endpoint.apiRoot = test.apiRoot.resolved(QUrl(QStringLiteral("/api/v4/")));
    endpoint.extraTrustedCertificates = test.trustedCertificates;
    return endpoint;
}

} // namespace

GitLabIntegration::GitLabIntegration(const IntegrationContext &context, QObject *parent)
    : Integration(parent)
    , m_endpoint(endpointFor(context.testEndpoint))
    , m_network(context.network)
    // GitLab's limits count over a minute.
    , m_budget(m_credentials, context.scheduler, 60)
    , m_accountClient(context.network, m_credentials, m_endpoint)
    , m_account(std::make_unique<GitLabAccount>(context.secrets, m_credentials, m_accountClient, context.preferences))
{
    // The configured server's token is read once start() runs; until then every part says so.
    m_credentials.useServer(GitLabServer::stored(context.preferences), SecretStore::ReadResult::noItem());
    m_credentials.awaitStored();
}

GitLabIntegration::~GitLabIntegration() = default;

std::unique_ptr<GitLabClient> GitLabIntegration::makeClient()
{
    return std::make_unique<GitLabClient>(m_network, m_credentials, m_endpoint);
}

QList<IntegrationPane> GitLabIntegration::panes() const
{
    GitLabAccount *account = m_account.get();
    return { { GitLabErrorText::accountPane, tr("GitLab-Konto"), QStringLiteral("person.badge.key"),
        [account] { return new TokenAccountPane(*account); } } };
}

bool GitLabIntegration::mayOpen(const QUrl &url) const
{
    return m_credentials.server().isWebPage(url);
}

void GitLabIntegration::start()
{
    // Without waiting: a locked keyring's prompt must not hold the program back.
    m_account->readAgain();
}

void GitLabIntegration::secretStoreAppeared()
{
    m_account->readAgain();
}

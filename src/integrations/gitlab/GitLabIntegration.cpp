#include "integrations/gitlab/GitLabIntegration.h"

#include "core/ModuleRegistry.h"
#include "core/prefs/PreferenceStore.h"
#include "integrations/gitlab/GitLabErrorText.h"
#include "integrations/gitlab/GitLabProjects.h"
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
    , m_preferences(context.preferences)
    // GitLab's limits count over a minute.
    , m_budget(m_credentials, context.scheduler, 60)
    , m_expiry(m_credentials, tokenEnd, context.scheduler, context.preferences)
    , m_accountClient(context.network, m_credentials, m_endpoint)
    , m_account(std::make_unique<GitLabAccount>(
          context.secrets, m_credentials, m_accountClient, m_expiry, context.preferences))
{
    m_credentials.useServer(GitLabServer::stored(context.preferences), SecretStore::ReadResult::noItem());
    // The token of a GitLab in use is read once start() runs; until then every part says so.
    if (storedInUse())
        m_credentials.awaitStored();
    connect(&m_expiry, &TokenExpiry::changed, this, &Integration::noticeChanged);
}

GitLabIntegration::~GitLabIntegration() = default;

std::unique_ptr<GitLabClient> GitLabIntegration::makeClient()
{
    return std::make_unique<GitLabClient>(m_network, m_credentials, m_endpoint);
}

void GitLabIntegration::adopt(std::unique_ptr<DevModule> module)
{
    m_moduleIds.append(module->id());
    addModule(std::move(module));
}

QList<IntegrationPane> GitLabIntegration::panes() const
{
    GitLabAccount *account = m_account.get();
    return { { GitLabErrorText::accountPane, tr("GitLab-Konto"), QStringLiteral("person.badge.key"), [account] {
                  account->takeIntoUse();
                  return new TokenAccountPane(*account);
              } } };
}

bool GitLabIntegration::mayOpen(const QUrl &url) const
{
    return m_credentials.server().isWebPage(url);
}

void GitLabIntegration::start()
{
    // Without waiting: a locked keyring's prompt must not hold the program back.
    if (storedInUse())
        return m_account->takeIntoUse();
    m_switchedOff = switchedOff();
    connect(&m_preferences, &PreferenceStore::valueChanged, this, &GitLabIntegration::followPreference);
}

void GitLabIntegration::secretStoreAppeared()
{
    if (m_account->isInUse())
        m_account->readAgain();
}

std::optional<QString> GitLabIntegration::notice() const
{
    return m_expiry.warningText();
}

bool GitLabIntegration::storedInUse() const
{
    return m_preferences.boolValue(GitLabAccount::inUseKey)
        || !m_preferences.stringValue(GitLabServer::preferenceKey).isEmpty()
        || !m_preferences.stringListValue(GitLabProjects::listKey).value_or(QStringList()).isEmpty();
}

QSet<QString> GitLabIntegration::switchedOff() const
{
    const QStringList off = m_preferences.stringListValue(QString::fromLatin1(ModuleRegistry::disabledModuleIDsKey))
                                .value_or(QStringList());
    QSet<QString> ours;
    for (const QString &id : m_moduleIds) {
        if (off.contains(id))
            ours.insert(id);
    }
    return ours;
}

void GitLabIntegration::followPreference()
{
    if (m_account->isInUse())
        return;
    const QSet<QString> off = switchedOff();
    // A module switched on leaves the switched-off set.
    const bool switchedOn = !(m_switchedOff - off).isEmpty();
    m_switchedOff = off;
    if (switchedOn || storedInUse())
        m_account->takeIntoUse();
}

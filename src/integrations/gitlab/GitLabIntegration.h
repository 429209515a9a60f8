#pragma once

#include "core/Integration.h"
#include "integrations/gitlab/GitLabAccount.h"
#include "integrations/gitlab/GitLabClient.h"
#include "integrations/gitlab/GitLabCredentials.h"
#include "services/ApiBudget.h"
#include "services/IntegrationContext.h"
#include "services/TokenExpiry.h"

#include <QSet>
#include <QStringList>

#include <memory>

// GitLab as Tarnlet speaks to it: the token with its server (gitlab.com or a self-managed one),
// the budget every client spends from (a quarter of the account's rate limit), the warning before
// the token ends, the account and its pane. Its rows open https pages of the configured server
// alone. The token is read from the secret store without waiting once start() runs, and only while
// GitLab is in use: a server or projects stored, used before (GitLabAccount::inUseKey), or from the
// moment a GitLab module is switched on, projects or a server are stored, or the account pane opens.
class GitLabIntegration final : public Integration {
    Q_OBJECT
public:
    // The warning before the token ends: GitLab's preference and words.
    static constexpr TokenExpiry::Service tokenEnd { "gitlab.tokenExpiryWarned",
        QT_TRANSLATE_NOOP("TokenExpiry", "GitLab-Token läuft am %1 ab") };

    explicit GitLabIntegration(const IntegrationContext &context, QObject *parent = nullptr);
    ~GitLabIntegration() override;

    const GitLabCredentials &credentials() const { return m_credentials; }
    TokenExpiry &expiry() { return m_expiry; }
    // A client on the account's token and server, for one module.
    std::unique_ptr<GitLabClient> makeClient();
    // Takes a module of this integration, offered after those added before.
    void adopt(std::unique_ptr<DevModule> module);

    QList<IntegrationPane> panes() const override;
    bool mayOpen(const QUrl &url) const override;
    void start() override;
    void secretStoreAppeared() override;
    std::optional<QString> notice() const override;

private:
    // Whether the preferences say GitLab is in use.
    bool storedInUse() const;
    // The ids of this integration's modules the user switched off.
    QSet<QString> switchedOff() const;
    void followPreference();

    ApiTransport::Endpoint m_endpoint;
    QNetworkAccessManager &m_network;
    PreferenceStore &m_preferences;
    GitLabCredentials m_credentials;
    ApiBudget m_budget;
    TokenExpiry m_expiry;
    GitLabClient m_accountClient;
    std::unique_ptr<GitLabAccount> m_account;
    QStringList m_moduleIds;
    QSet<QString> m_switchedOff;
};

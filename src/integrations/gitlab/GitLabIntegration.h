#pragma once

#include "core/Integration.h"
#include "integrations/gitlab/GitLabAccount.h"
#include "integrations/gitlab/GitLabClient.h"
#include "integrations/gitlab/GitLabCredentials.h"
#include "services/ApiBudget.h"
#include "services/IntegrationContext.h"

#include <memory>

// GitLab as Tarnlet speaks to it: the token with its server (gitlab.com or a self-managed one),
// the budget every client spends from (a quarter of the account's rate limit), the account and its
// pane. Its rows open https pages of the configured server alone. The token is read from the secret
// store without waiting once start() runs.
class GitLabIntegration final : public Integration {
    Q_OBJECT
public:
    explicit GitLabIntegration(const IntegrationContext &context, QObject *parent = nullptr);
    ~GitLabIntegration() override;

    const GitLabCredentials &credentials() const { return m_credentials; }
    // A client on the account's token and server, for one module.
    std::unique_ptr<GitLabClient> makeClient();
    // Takes a module of this integration, offered after those added before.
    void adopt(std::unique_ptr<DevModule> module) { addModule(std::move(module)); }

    QList<IntegrationPane> panes() const override;
    bool mayOpen(const QUrl &url) const override;
    void start() override;
    void secretStoreAppeared() override;

private:
    ApiTransport::Endpoint m_endpoint;
    QNetworkAccessManager &m_network;
    GitLabCredentials m_credentials;
    ApiBudget m_budget;
    GitLabClient m_accountClient;
    std::unique_ptr<GitLabAccount> m_account;
};

#pragma once

#include "core/Integration.h"
#include "integrations/github/GitHubAccount.h"
#include "integrations/github/GitHubBudget.h"
#include "integrations/github/GitHubClient.h"
#include "integrations/github/GitHubCredentials.h"
#include "services/IntegrationContext.h"
#include "services/TokenExpiry.h"

#include <memory>

// GitHub as Tarnlet speaks to it: the token with its server (github.com or an Enterprise Server),
// the hourly budget every client spends from, the warning before the token ends, the account and
// its pane. Its rows open https pages of the configured server alone. The token is read from the
// secret store without waiting once start() runs; until then every GitHub part says it is being
// read, and the modules' watchers poll as soon as it comes.
class GitHubIntegration final : public Integration {
    Q_OBJECT
public:
    // The warning before the token ends: GitHub's preference and words.
    static constexpr TokenExpiry::Service tokenEnd { "github.tokenExpiryWarned",
        QT_TRANSLATE_NOOP("TokenExpiry", "Token läuft am %1 ab") };

    explicit GitHubIntegration(const IntegrationContext &context, QObject *parent = nullptr);
    ~GitHubIntegration() override;

    const GitHubCredentials &credentials() const { return m_credentials; }
    TokenExpiry &expiry() { return m_expiry; }
    GitHubAccount &account() { return *m_account; }
    // A client on the account's token and server, for one module.
    std::unique_ptr<GitHubClient> makeClient();
    // Takes a module of this integration, offered after those added before.
    void adopt(std::unique_ptr<DevModule> module) { addModule(std::move(module)); }

    QList<IntegrationPane> panes() const override;
    bool mayOpen(const QUrl &url) const override;
    void start() override;
    void secretStoreAppeared() override;
    std::optional<QString> notice() const override;

private:
    GitHubTransport::Endpoint m_endpoint;
    QNetworkAccessManager &m_network;
    GitHubCredentials m_credentials;
    GitHubBudget m_budget;
    TokenExpiry m_expiry;
    GitHubClient m_accountClient;
    std::unique_ptr<GitHubAccount> m_account;
};

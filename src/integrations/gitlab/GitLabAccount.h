#pragma once

#include "services/account/TokenAccount.h"

class GitLabClient;
class GitLabCredentials;
class PreferenceStore;
class TokenExpiry;

// The GitLab token as the settings window handles it (TokenAccount), on gitlab.com or a
// self-managed server kept in the preferences, with what is left of the account's rate limit and
// the warning before the token ends. GitLab names a token's end when asked (once for each new
// token, again at the next check where the question failed). The token is read from the secret
// store only once GitLab is in use, so a user without GitLab meets no keyring prompt for it.
class GitLabAccount final : public TokenAccount {
    Q_OBJECT
public:
    // Set once GitLab is in use, so that later launches read its token.
    static inline const QString inUseKey = QStringLiteral("gitlab.inUse");

    GitLabAccount(SecretStore &secrets, GitLabCredentials &credentials, const GitLabClient &client,
        const TokenExpiry &expiry, PreferenceStore &preferences, QObject *parent = nullptr);
    ~GitLabAccount() override;

    QString serviceName() const override { return QStringLiteral("GitLab"); }
    QString serverAddress() const override;
    QString apiHost() const override;
    QString serverPlaceholder() const override;
    QString note() const override;
    // The budget, and "GitLab-Token läuft am 12.01. ab" in the week before the token ends.
    QList<Line> lines() const override;

    // GitLab is in use from now on, and at later launches: the token is read (once; again only
    // when the secret store reappears).
    void takeIntoUse();
    bool isInUse() const { return m_inUse; }

protected:
    QString secretAccount() const override;
    ServerAt serverAt(const QString &input) const override;
    CancelHandle askWho(std::function<void(const ApiResult<QString> &login)> done) override;
    QString lookupErrorText(const ApiError &error) const override;

private:
    void askEnd();

    GitLabCredentials &m_credentials;
    const GitLabClient &m_client;
    const TokenExpiry &m_expiry;
    PreferenceStore &m_preferences;
    bool m_inUse = false;
    CancelHandle m_endLookup;
    std::optional<quint64> m_endAskedFor; // the token generation whose end is known or being asked
};

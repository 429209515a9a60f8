#pragma once

#include "services/account/TokenAccount.h"

class GitLabClient;
class GitLabCredentials;
class PreferenceStore;

// The GitLab token as the settings window handles it (TokenAccount), on gitlab.com or a
// self-managed server kept in the preferences, with what is left of the account's rate limit.
class GitLabAccount final : public TokenAccount {
    Q_OBJECT
public:
    GitLabAccount(SecretStore &secrets, GitLabCredentials &credentials, const GitLabClient &client,
        PreferenceStore &preferences, QObject *parent = nullptr);

    QString serviceName() const override { return QStringLiteral("GitLab"); }
    QString serverAddress() const override;
    QString apiHost() const override;
    QString serverPlaceholder() const override;
    QString note() const override;
    QList<Line> lines() const override { return { { budgetText(), true } }; }

protected:
    QString secretAccount() const override;
    ServerAt serverAt(const QString &input) const override;
    CancelHandle askWho(std::function<void(const ApiResult<QString> &login)> done) override;
    QString lookupErrorText(const ApiError &error) const override;

private:
    GitLabCredentials &m_credentials;
    const GitLabClient &m_client;
    PreferenceStore &m_preferences;
};

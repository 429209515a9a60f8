#pragma once

#include "integrations/github/GitHubApi.h"
#include "services/account/TokenAccount.h"

#include <optional>

class GitHubCredentials;
class PreferenceStore;
class TokenExpiry;

// The GitHub token as the settings window handles it (TokenAccount), on github.com or a GitHub
// Enterprise Server kept in the preferences, with what GitHub says of the token besides: its
// scopes, what the token lacks for GitHub news, and its end.
class GitHubAccount final : public TokenAccount {
    Q_OBJECT
public:
    GitHubAccount(SecretStore &secrets, GitHubCredentials &credentials, const GitHubApi &api, const TokenExpiry &expiry,
        PreferenceStore &preferences, QObject *parent = nullptr);

    QString serviceName() const override { return QStringLiteral("GitHub"); }
    QString serverAddress() const override;
    // api.github.com or the Enterprise Server's.
    QString apiHost() const override;
    QString serverPlaceholder() const override;
    QString note() const override;
    // The scopes, the budget, what the token lacks for news, its end.
    QList<Line> lines() const override;

    // The token's scopes ("Fein granuliertes Token" when GitHub names none); empty while unknown.
    QString scopesText() const;
    // What the token lacks for GitHub news: reading notifications at all (a fine-grained
    // token, or a classic one without the notifications or repo scope), or marking them read (GitHub
    // refused it); empty otherwise.
    QString notificationsText() const;
    // "Token läuft am 12.01. ab" in the week before the token ends; empty otherwise.
    QString expiryText() const;
    // GitHub would not mark a notification read for the token of `generation` (it lacks the
    // notifications or repo scope): said in notificationsText() until the token changes. An older
    // token's refusal is ignored.
    void noteCannotMarkRead(quint64 generation);

protected:
    QString secretAccount() const override;
    ServerAt serverAt(const QString &input) const override;
    CancelHandle askWho(std::function<void(const ApiResult<QString> &login)> done) override;
    QString lookupErrorText(const ApiError &error) const override;
    void forgetAnswer() override { m_user.reset(); }

private:
    GitHubCredentials &m_credentials;
    const GitHubApi &m_api;
    const TokenExpiry &m_expiry;
    PreferenceStore &m_preferences;
    std::optional<quint64> m_cannotMarkReadFor; // the token generation GitHub refused marking to
    std::optional<GitHubUser> m_user;
};

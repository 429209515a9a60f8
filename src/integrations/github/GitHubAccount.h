#pragma once

#include "integrations/github/GitHubApi.h"
#include "services/SecretStore.h"

#include <QObject>
#include <QString>

#include <optional>

class GitHubCredentials;
class GitHubServer;
class PreferenceStore;
class TokenExpiry;

// The GitHub token as the settings window handles it: saved to the secret store (the same item
// the token tool writes, one per server) and handed to every GitHub client at once, or removed
// from both; the server the account lives on (github.com or an Enterprise Server, kept in the
// preferences); and who GitHub says the token belongs to, asked after each new token and, for the
// token read at launch, when the pane first shows (again after a failed question). The token
// itself is never kept here, shown or written anywhere else.
class GitHubAccount final : public QObject {
    Q_OBJECT
public:
    GitHubAccount(SecretStore &secrets, GitHubCredentials &credentials, const GitHubApi &api, const TokenExpiry &expiry,
        PreferenceStore &preferences, QObject *parent = nullptr);
    ~GitHubAccount() override;

    // Stores the token typed or pasted as `input` (blanks around it dropped) without waiting for
    // the secret store; the clients get it once the store has taken it. Says why not in the
    // feedback line when the input is empty or the store refuses.
    void save(const QString &input);
    // Deletes the current server's stored token; once the store has answered, no client sends one.
    void remove();
    // Moves the account to the server at `input` (empty for github.com): kept in the preferences
    // and its own token read from the secret store without waiting, which every client then sends
    // to that server alone. An address that is not a server's is refused in the server's feedback
    // line, changing nothing.
    void setServer(const QString &input);
    // The current server's address as typed back into the pane; empty for github.com.
    QString serverAddress() const;
    // The host the token goes to: api.github.com or the Enterprise Server's.
    QString apiHost() const;
    // Reads the token from the secret store again without waiting (it was locked or not running,
    // or the token tool has stored a new one); the clients get what it finds.
    void readAgain();
    // From a save, removal or read until the secret store has answered.
    bool isBusy() const { return m_busy; }
    // Asks GitHub about the current token unless the answer is known or on its way; asks again
    // after a failed question.
    void lookUpIfUnknown();

    // What the account is now: "Angemeldet als <login>", the refused token, no token, an unreadable
    // keyring, being asked.
    QString statusText() const;
    // The token's scopes ("Fein granuliertes Token" when GitHub names none); empty while unknown.
    QString scopesText() const;
    // "GitHub-Kontingent: 4.210 von 5.000 übrig, Tarnlet nutzt 312 pro Stunde" in the local number
    // format, following the answers as they come; empty until an answer told the limit.
    QString budgetText() const;
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
    // The outcome of the last save or removal; empty before the first.
    QString feedback() const { return m_feedback; }
    // Why the last server address was refused; empty otherwise.
    QString serverFeedback() const { return m_serverFeedback; }

Q_SIGNALS:
    void changed();

private:
    void followCredentials();
    void ask();
    void lookUp();
    void setFeedback(const QString &text);
    void startStoring(const QString &progress);
    void saved(const QString &token, const std::optional<SecretStore::Error> &failure);
    void removed(const std::optional<SecretStore::Error> &failure);
    void readBack(const SecretStore::ReadResult &stored);
    void moved(const GitHubServer &server, const SecretStore::ReadResult &stored);

    SecretStore &m_secrets;
    GitHubCredentials &m_credentials;
    const GitHubApi &m_api;
    const TokenExpiry &m_expiry;
    PreferenceStore &m_preferences;
    CancelHandle m_lookup;
    // Asked once: keep the answer current from now on.
    bool m_following = false;
    // The token generation the answer below is about, to notice a new token (no copy of it).
    std::optional<quint64> m_askedFor;
    std::optional<quint64> m_cannotMarkReadFor; // the token generation GitHub refused marking to
    std::optional<GitHubUser> m_user;
    QString m_lookupError;
    QString m_feedback;
    QString m_serverFeedback;
    bool m_busy = false;
};

#pragma once

#include "integrations/github/GitHubServer.h"
#include "services/SecretStore.h"

#include <QDateTime>
#include <QDeadlineTimer>
#include <QObject>
#include <QPointer>
#include <QString>

#include <optional>

class GitHubBudget;

// The token every GitHub client sends, held once with the server it belongs to: a token saved in
// the settings window counts from the next request on, removing it stops every client sending
// one, and a token GitHub refuses (an answer 401) is known to every part that shows it until a new
// token works. So is a secret store that could not be read, until a read finds the token or its
// absence, and a read still under way. Clients read server and token together, so a token only
// ever goes to its own server.
class GitHubCredentials final : public QObject {
    Q_OBJECT
public:
    explicit GitHubCredentials(std::optional<QString> token = std::nullopt, QObject *parent = nullptr);

    const GitHubServer &server() const { return m_server; }
    // Moves to `server` with what the secret store holds for it; the previous server's token,
    // refusal and wait go at once. The same server only takes the stored token.
    void useServer(const GitHubServer &server, const SecretStore::ReadResult &stored);
    const std::optional<QString> &token() const { return m_token; }
    // A new token (or none) is neither refused nor limited until GitHub says so.
    void setToken(std::optional<QString> token);
    // Takes what the secret store answered for the token. A store that could not be read leaves
    // a token already held alone; without one, every GitHub part says the keyring is unavailable.
    void takeStored(const SecretStore::ReadResult &stored);
    bool isStoreUnavailable() const { return m_storeUnavailable; }
    // The token is being read from the secret store for the first time (at launch); whatever the
    // store answers (takeStored(), useServer()) or a token set ends this.
    void awaitStored();
    bool isReading() const { return m_reading; }
    // Changes whenever the token or its server does (saved, replaced, removed, another server):
    // what parts keep to notice a new token, instead of a copy of it.
    quint64 tokenGeneration() const { return m_generation; }

    bool isRefused() const { return m_refused; }
    // GitHub answered 401 to a request sent with `token`; an answer for an older token is ignored.
    void markRefused(const QString &token);
    // GitHub accepted a request sent with `token`.
    void markAccepted(const QString &token);

    // When the token stops working, as GitHub names it with answers to a token that expires; none
    // for a token that does not, or before an answer came.
    std::optional<QDateTime> expiry() const { return m_expiry; }
    // An answer to a request sent with `token` named its end; an answer for an older token is
    // ignored. Sends expiryNoted() every time, changed() when the end is new.
    void noteExpiry(const QString &token, const QDateTime &end);
    // The end in GitHub's header "github-authentication-token-expiration" ("2026-01-12 09:30:00
    // UTC", or with an offset such as "+0100" or "-08:00", at most 14 hours); none when absent or
    // unreadable.
    static std::optional<QDateTime> expiryFromHeader(const QByteArray &value);

    // GitHub asked to send nothing with `token` for `seconds`; a wait that ends later extends it.
    // The wait runs on the monotonic clock: setting the wall clock meanwhile changes nothing.
    void markLimited(const QString &token, qint64 seconds);
    // The seconds left of GitHub's wait (rounded up); none once it is over.
    std::optional<qint64> limitRemaining() const;

    // A token as the user typed or pasted it, without the blanks around it; empty when nothing
    // is left. Every place that takes a token from the user goes through here.
    static std::optional<QString> tokenFromInput(const QString &input);

    // The account's budget, which every authenticated transport reports its answers to and every
    // poll loop takes its pause from; none until one is made for these credentials.
    GitHubBudget *budget() const;
    void setBudget(GitHubBudget *budget);

Q_SIGNALS:
    // After the token or its refused state changed.
    void changed();
    // After each answer that told the token's end (or that it has none).
    void expiryNoted();

private:
    // Another token (or none) from here on, with what GitHub said of the one before forgotten.
    void takeNewToken(std::optional<QString> token);

    GitHubServer m_server;
    std::optional<QString> m_token;
    quint64 m_generation = 0;
    bool m_refused = false;
    bool m_storeUnavailable = false;
    bool m_reading = false;
    std::optional<QDateTime> m_expiry;
    QDeadlineTimer m_limit; // expired unless GitHub asked to wait
    QPointer<GitHubBudget> m_budget;
};

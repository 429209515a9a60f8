#pragma once

#include "core/GitHubServer.h"
#include "services/SecretStore.h"

#include <QDateTime>
#include <QDeadlineTimer>
#include <QLatin1StringView>
#include <QObject>
#include <QPointer>
#include <QString>

#include <optional>

class GitHubBudget;

// The token every GitHub client sends, held once with the server it belongs to: a token saved in
// the settings window counts from the next request on, removing it stops every client sending
// one, and a token GitHub refuses (an answer 401) is known to every part that shows it until a new
// token works. So is a secret store that could not be read, until a read finds the token or its
// absence. Clients read server and token together, so a token only ever goes to its own server.
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
    // UTC", or with an offset such as "+0100"); none when absent or unreadable.
    static std::optional<QDateTime> expiryFromHeader(const QByteArray &value);

    // GitHub would not mark a notification read for the token of `generation` (it lacks the
    // notifications or repo scope); an older token's refusal is ignored. Held until the token changes.
    void markCannotMarkRead(quint64 generation);
    bool cannotMarkRead() const { return m_cannotMarkRead; }

    // GitHub asked to send nothing with `token` for `seconds`; a wait that ends later extends it.
    // The wait runs on the monotonic clock: setting the wall clock meanwhile changes nothing.
    void markLimited(const QString &token, qint64 seconds);
    // The seconds left of GitHub's wait (rounded up); none once it is over.
    std::optional<qint64> limitRemaining() const;
    // "GitHub-Limit erreicht – weiter um HH:MM", `until` in local time.
    static QString limitText(const QDateTime &until);

    // A token as the user typed or pasted it, without the blanks around it; empty when nothing
    // is left. Every place that takes a token from the user goes through here.
    static std::optional<QString> tokenFromInput(const QString &input);

    // The line, in the user's language, every GitHub part shows while the token is refused.
    static QString refusedText();
    // "Schlüsselbund nicht verfügbar": no token, as the secret store could not be read.
    static QString storeUnavailableText();
    // What every GitHub part shows instead of its own lines: the unreadable store, the refusal,
    // or GitHub's wait while it lasts; none while the token may be used.
    std::optional<QString> problemText() const;
    // The name of the settings pane where the token is saved.
    static constexpr QLatin1StringView accountPane { "githubAccount" };
    // The pane that resolves what keeps every GitHub part from working: the account pane while
    // no token is held, the token is refused or the keyring unreadable; empty otherwise (GitHub's
    // wait passes by itself).
    QString resolvingPane() const;

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
    bool m_cannotMarkRead = false;
    std::optional<QDateTime> m_expiry;
    QDeadlineTimer m_limit; // expired unless GitHub asked to wait
    QPointer<GitHubBudget> m_budget;
};

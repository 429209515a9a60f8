#pragma once

#include "services/SecretStore.h"

#include <QDateTime>
#include <QDeadlineTimer>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QUrl>

#include <optional>

class ApiBudget;
class QLoggingCategory;
struct ApiResponse;

// The token every client of one service's account sends, held once: a token saved in the settings
// window counts from the next request on, removing it stops every client sending one, and a token
// the service refuses (an answer 401) is known to every part that shows it until a new token works.
// So is a secret store that could not be read, until a read finds the token or its absence, and a
// read still under way, and the token's end once the service named it. A service's own credentials
// add the server the token belongs to; clients read server and token together, so a token only
// ever goes to its own server.
class ApiCredentials : public QObject {
    Q_OBJECT
public:
    using LogCategory = const QLoggingCategory &(*)();

    // `category` is the service's logging category, used by every part that works with these credentials.
    explicit ApiCredentials(
        LogCategory category, std::optional<QString> token = std::nullopt, QObject *parent = nullptr);

    LogCategory log() const { return m_log; }
    // The API root of the server the token belongs to; none for the service's own public server,
    // whose root the transport is configured with (a test points it at a local server).
    virtual std::optional<QUrl> ownApiRoot() const { return std::nullopt; }
    // Told of every answer the service accepted the token with (a 2xx or 304), for what it says of
    // the token besides (its end).
    virtual void noteAccepted(const QString &token, const ApiResponse &answer);

    const std::optional<QString> &token() const { return m_token; }
    // A new token (or none) is neither refused nor limited until the service says so.
    void setToken(std::optional<QString> token);
    // Takes what the secret store answered for the token. A store that could not be read leaves
    // a token already held alone; without one, every part says the keyring is unavailable.
    void takeStored(const SecretStore::ReadResult &stored);
    bool isStoreUnavailable() const { return m_storeUnavailable; }
    // The token is being read from the secret store for the first time (at launch); whatever the
    // store answers (takeStored(), moving to another server) or a token set ends this.
    void awaitStored();
    bool isReading() const { return m_reading; }
    // Changes whenever the token or its server does (saved, replaced, removed, another server):
    // what parts keep to notice a new token, instead of a copy of it.
    quint64 tokenGeneration() const { return m_generation; }

    bool isRefused() const { return m_refused; }
    // The service answered 401 to a request sent with `token`; an answer for an older token is ignored.
    void markRefused(const QString &token);
    // The service accepted a request sent with `token`.
    void markAccepted(const QString &token);

    // The service asked to send nothing with `token` for `seconds`; a wait that ends later extends
    // it. The wait runs on the monotonic clock: setting the wall clock meanwhile changes nothing.
    void markLimited(const QString &token, qint64 seconds);
    // The seconds left of the service's wait (rounded up); none once it is over.
    std::optional<qint64> limitRemaining() const;

    // A token as the user typed or pasted it, without the blanks around it; empty when nothing
    // is left. Every place that takes a token from the user goes through here.
    static std::optional<QString> tokenFromInput(const QString &input);

    // When the token stops working, as the service named it; none for a token that does not end,
    // or before the service said.
    std::optional<QDateTime> expiry() const { return m_expiry; }
    // An answer to a request sent with `token` named its end; an answer for an older token is
    // ignored. Sends expiryNoted() every time, changed() when the end is new.
    void noteExpiry(const QString &token, const QDateTime &end);

    // The account's budget, which every authenticated transport reports its answers to and every
    // poll loop takes its pause from; none until one is made for these credentials.
    ApiBudget *budget() const;
    void setBudget(ApiBudget *budget);

Q_SIGNALS:
    // After the token, its server or its refused state changed.
    void changed();
    // After each answer that told the token's end (noteExpiry()).
    void expiryNoted();

protected:
    // Starts afresh on another server with what the secret store holds for it: the previous
    // server's token, refusal and wait go at once. Sends changed().
    void restartWith(const SecretStore::ReadResult &stored);

private:
    void takeNewToken(std::optional<QString> token);

    LogCategory m_log;
    std::optional<QString> m_token;
    quint64 m_generation = 0;
    bool m_refused = false;
    bool m_storeUnavailable = false;
    bool m_reading = false;
    QDeadlineTimer m_limit; // expired unless the service asked to wait
    std::optional<QDateTime> m_expiry;
    QPointer<ApiBudget> m_budget;
};

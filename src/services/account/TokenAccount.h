#pragma once

#include "core/CancelHandle.h"
#include "services/ApiResult.h"
#include "services/SecretStore.h"

#include <QObject>
#include <QString>

#include <functional>
#include <optional>

class ApiCredentials;

// A service's token as the settings window handles it: saved to the secret store (the same item
// the token tool writes, one per server) and handed to every client of the service at once, or
// removed from both; the server the account lives on (kept in the preferences by the service);
// and who the service says the token belongs to, asked after each new token and, for the token
// read at launch, when the pane first shows (again after a failed question). The token itself is
// never kept here, shown or written anywhere else. A service adds its server rule, its question
// and its own lines.
class TokenAccount : public QObject {
    Q_OBJECT
public:
    // The server an address names, for setServer(): its secret-store item and the step that moves
    // the account there with what the store holds for it; or why the address is none.
    struct Server {
        QString secretAccount;
        std::function<void(const SecretStore::ReadResult &stored)> move;
    };
    using ServerAt = std::variant<Server, QString>;

    TokenAccount(SecretStore &secrets, ApiCredentials &credentials, QObject *parent = nullptr);
    ~TokenAccount() override;

    // Stores the token typed or pasted as `input` (blanks around it dropped) without waiting for
    // the secret store; the clients get it once the store has taken it. Says why not in the
    // feedback line when the input is empty or the store refuses.
    void save(const QString &input);
    // Deletes the current server's stored token; once the store has answered, no client sends one.
    void remove();
    // Moves the account to the server at `input` (empty for the service's public one): its own
    // token read from the secret store without waiting, which every client then sends to that server
    // alone. An address that is not a server's is refused in the server's feedback line.
    void setServer(const QString &input);
    // Reads the token from the secret store again without waiting (it was locked or not running,
    // or the token tool has stored a new one); the clients get what it finds.
    void readAgain();
    // From a save, removal or read until the secret store has answered.
    bool isBusy() const { return m_busy; }
    // Asks the service about the current token unless the answer is known or on its way; asks
    // again after a failed question.
    void lookUpIfUnknown();

    // What the account is now: "Angemeldet als <login>", the refused token, no token, an
    // unreadable keyring, being asked.
    QString statusText() const;
    // "<service>-Kontingent: 4.210 von 5.000 übrig, Tarnlet nutzt 312 pro Stunde" in the local
    // number format, following the answers as they come; empty until an answer told the limit.
    QString budgetText() const;
    // The outcome of the last save or removal; empty before the first.
    QString feedback() const { return m_feedback; }
    // Why the last server address was refused; empty otherwise.
    QString serverFeedback() const { return m_serverFeedback; }

    // The service's name as the user reads it ("GitHub").
    virtual QString serviceName() const = 0;
    // The current server's address as typed back into the pane; empty for the public one.
    virtual QString serverAddress() const = 0;
    // The host the token goes to.
    virtual QString apiHost() const = 0;
    // What the pane's server field shows while empty.
    virtual QString serverPlaceholder() const = 0;
    // The note under the pane.
    virtual QString note() const = 0;
    // Further lines about the token, shown under the status in this order; empty ones are hidden.
    // `secondary` lines are shown in the quieter colour.
    struct Line {
        QString text;
        bool secondary = true;
    };
    virtual QList<Line> lines() const { return {}; }

Q_SIGNALS:
    void changed();

protected:
    // The current server's secret-store item.
    virtual QString secretAccount() const = 0;
    // The server `input` names.
    virtual ServerAt serverAt(const QString &input) const = 0;
    // Asks who the token belongs to; `done` gets the login or why the question failed.
    virtual CancelHandle askWho(std::function<void(const ApiResult<QString> &login)> done) = 0;
    // What to say where the question failed.
    virtual QString lookupErrorText(const ApiError &error) const = 0;
    // The answer about the token is forgotten (another token, or asked again).
    virtual void forgetAnswer() { }
    ApiCredentials &credentials() const { return m_credentials; }

private:
    void followCredentials();
    void ask();
    void setFeedback(const QString &text);
    void startStoring(const QString &progress);
    void saved(const QString &token, const std::optional<SecretStore::Error> &failure);
    void removed(const std::optional<SecretStore::Error> &failure);
    void readBack(const SecretStore::ReadResult &stored);

    SecretStore &m_secrets;
    ApiCredentials &m_credentials;
    CancelHandle m_lookup;
    // Asked once: keep the answer current from now on.
    bool m_following = false;
    // The token generation the answer below is about, to notice a new token (no copy of it).
    std::optional<quint64> m_askedFor;
    std::optional<QString> m_login;
    QString m_lookupError;
    QString m_feedback;
    QString m_serverFeedback;
    bool m_busy = false;
};

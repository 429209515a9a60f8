#include "services/account/TokenAccount.h"

#include "services/ApiBudget.h"
#include "services/ApiCredentials.h"
#include "services/TokenState.h"

#include <QLocale>
#include <QLoggingCategory>
#include <QPointer>

TokenAccount::TokenAccount(SecretStore &secrets, ApiCredentials &credentials, QObject *parent)
    : QObject(parent)
    , m_secrets(secrets)
    , m_credentials(credentials)
{
    connect(&m_credentials, &ApiCredentials::changed, this, &TokenAccount::followCredentials);
    if (const ApiBudget *budget = m_credentials.budget())
        connect(budget, &ApiBudget::changed, this, &TokenAccount::changed);
}

TokenAccount::~TokenAccount()
{
    m_lookup.cancel();
}

void TokenAccount::save(const QString &input)
{
    const std::optional<QString> token = ApiCredentials::tokenFromInput(input);
    if (!token)
        return setFeedback(tr("Bitte einen Token eingeben."));
    startStoring(tr("Wird gespeichert …"));
    m_secrets.saveAsync(*token, secretAccount(),
        [account = QPointer(this), token = *token](const std::optional<SecretStore::Error> &failure) {
            if (account)
                account->saved(token, failure);
        });
}

void TokenAccount::remove()
{
    startStoring(tr("Wird entfernt …"));
    m_secrets.removeAsync(
        secretAccount(), [account = QPointer(this)](const std::optional<SecretStore::Error> &failure) {
            if (account)
                account->removed(failure);
        });
}

void TokenAccount::readAgain()
{
    if (m_busy)
        return; // a save or removal under way decides what the store holds
    startStoring(tr("Wird gelesen …"));
    m_secrets.readAsync(secretAccount(), [account = QPointer(this)](const SecretStore::ReadResult &stored) {
        if (account)
            account->readBack(stored);
    });
}

void TokenAccount::setServer(const QString &input)
{
    if (m_busy)
        return; // a save or removal under way is for the current server
    const ServerAt at = serverAt(input);
    const Server *server = std::get_if<Server>(&at);
    m_serverFeedback = server ? QString() : std::get<QString>(at);
    if (!server || server->secretAccount == secretAccount()) {
        Q_EMIT changed();
        return;
    }
    startStoring(tr("Wird gelesen …"));
    m_secrets.readAsync(
        server->secretAccount, [account = QPointer(this), move = server->move](const SecretStore::ReadResult &stored) {
            if (!account)
                return;
            account->m_busy = false;
            account->m_feedback.clear();
            move(stored);
            Q_EMIT account->changed();
        });
}

void TokenAccount::readBack(const SecretStore::ReadResult &stored)
{
    m_busy = false;
    m_feedback.clear();
    // A new token is asked about once the pane has shown (followCredentials).
    m_credentials.takeStored(stored);
    Q_EMIT changed();
}

void TokenAccount::startStoring(const QString &progress)
{
    m_busy = true;
    setFeedback(progress);
}

void TokenAccount::saved(const QString &token, const std::optional<SecretStore::Error> &failure)
{
    m_busy = false;
    if (failure)
        return setFeedback(
            tr("Der Token konnte nicht gespeichert werden (Schlüsselbund, Fehler %1).").arg(failure->status()));
    qCDebug(m_credentials.log()) << "token saved";
    m_feedback = tr("Token gespeichert.");
    // Forget the answer about the token before, even when the same token is saved again.
    m_askedFor.reset();
    m_credentials.setToken(token);
    lookUpIfUnknown();
}

void TokenAccount::removed(const std::optional<SecretStore::Error> &failure)
{
    m_busy = false;
    if (failure)
        return setFeedback(
            tr("Der Token konnte nicht entfernt werden (Schlüsselbund, Fehler %1).").arg(failure->status()));
    qCDebug(m_credentials.log()) << "token removed";
    m_feedback = tr("Token entfernt.");
    m_credentials.setToken(std::nullopt);
    lookUpIfUnknown();
}

void TokenAccount::followCredentials()
{
    if (m_following && m_credentials.tokenGeneration() != m_askedFor)
        ask();
    Q_EMIT changed();
}

void TokenAccount::lookUpIfUnknown()
{
    m_following = true;
    if (m_credentials.tokenGeneration() != m_askedFor || !m_lookupError.isEmpty())
        ask();
    Q_EMIT changed();
}

void TokenAccount::ask()
{
    m_lookup.cancel();
    m_login.reset();
    forgetAnswer();
    m_lookupError.clear();
    m_askedFor = m_credentials.tokenGeneration();
    if (!m_credentials.token())
        return;
    // An answer 401 has marked the token refused on its way here; the line then says so.
    m_lookup = askWho([this](const ApiResult<QString> &login) {
        m_lookup = {};
        if (login.isOk())
            m_login = login.value();
        else
            m_lookupError = lookupErrorText(login.error());
        Q_EMIT changed();
    });
}

void TokenAccount::setFeedback(const QString &text)
{
    m_feedback = text;
    Q_EMIT changed();
}

QString TokenAccount::statusText() const
{
    if (m_credentials.isReading())
        return TokenState::readingText();
    if (m_credentials.isStoreUnavailable())
        return TokenState::storeUnavailableText();
    if (!m_credentials.token())
        return tr("Kein Token hinterlegt.");
    if (m_credentials.isRefused())
        return TokenState::refusedText(serviceName());
    if (m_login)
        return tr("Angemeldet als %1").arg(*m_login);
    if (!m_lookupError.isEmpty())
        return m_lookupError;
    return tr("Wird geprüft …");
}

QString TokenAccount::budgetText() const
{
    const ApiBudget *budget = m_credentials.budget();
    if (!budget || !budget->limit() || !budget->remaining())
        return {};
    const QLocale locale;
    return tr("%1-Kontingent: %2 von %3 übrig, Tarnlet nutzt %4 pro Stunde")
        .arg(serviceName(), locale.toString(*budget->remaining()), locale.toString(*budget->limit()),
            locale.toString(budget->answersLastHour()));
}

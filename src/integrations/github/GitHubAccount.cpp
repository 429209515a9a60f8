#include "integrations/github/GitHubAccount.h"

#include "integrations/github/GitHubBudget.h"
#include "integrations/github/GitHubCredentials.h"
#include "integrations/github/GitHubErrorText.h"
#include "integrations/github/GitHubLogging.h"
#include "integrations/github/GitHubTokenState.h"
#include "integrations/github/TokenExpiry.h"
#include "services/SecretStore.h"

#include <QLocale>
#include <QPointer>

GitHubAccount::GitHubAccount(SecretStore &secrets, GitHubCredentials &credentials, const GitHubApi &api,
    const TokenExpiry &expiry, PreferenceStore &preferences, QObject *parent)
    : QObject(parent)
    , m_secrets(secrets)
    , m_credentials(credentials)
    , m_api(api)
    , m_expiry(expiry)
    , m_preferences(preferences)
{
    connect(&m_credentials, &GitHubCredentials::changed, this, &GitHubAccount::followCredentials);
    connect(&m_expiry, &TokenExpiry::changed, this, &GitHubAccount::changed);
    if (const GitHubBudget *budget = m_credentials.budget())
        connect(budget, &GitHubBudget::changed, this, &GitHubAccount::changed);
}

QString GitHubAccount::expiryText() const
{
    return m_expiry.warningText().value_or(QString());
}

void GitHubAccount::noteCannotMarkRead(quint64 generation)
{
    if (generation != m_credentials.tokenGeneration() || m_cannotMarkReadFor == generation)
        return;
    m_cannotMarkReadFor = generation;
    Q_EMIT changed();
}

GitHubAccount::~GitHubAccount()
{
    m_lookup.cancel();
}

void GitHubAccount::save(const QString &input)
{
    const std::optional<QString> token = GitHubCredentials::tokenFromInput(input);
    if (!token)
        return setFeedback(tr("Bitte einen Token eingeben."));
    startStoring(tr("Wird gespeichert …"));
    m_secrets.saveAsync(*token, m_credentials.server().tokenAccount(),
        [account = QPointer(this), token = *token](const std::optional<SecretStore::Error> &failure) {
            if (account)
                account->saved(token, failure);
        });
}

void GitHubAccount::remove()
{
    startStoring(tr("Wird entfernt …"));
    m_secrets.removeAsync(m_credentials.server().tokenAccount(),
        [account = QPointer(this)](const std::optional<SecretStore::Error> &failure) {
            if (account)
                account->removed(failure);
        });
}

void GitHubAccount::readAgain()
{
    if (m_busy)
        return; // a save or removal under way decides what the store holds
    startStoring(tr("Wird gelesen …"));
    m_secrets.readAsync(
        m_credentials.server().tokenAccount(), [account = QPointer(this)](const SecretStore::ReadResult &stored) {
            if (account)
                account->readBack(stored);
        });
}

void GitHubAccount::setServer(const QString &input)
{
    if (m_busy)
        return; // a save or removal under way is for the current server
    const std::optional<GitHubServer> server = GitHubServer::fromAddress(input);
    m_serverFeedback = server ? QString() : GitHubServer::invalidAddressText();
    if (!server || *server == m_credentials.server()) {
        Q_EMIT changed();
        return;
    }
    startStoring(tr("Wird gelesen …"));
    m_secrets.readAsync(
        server->tokenAccount(), [account = QPointer(this), server = *server](const SecretStore::ReadResult &stored) {
            if (account)
                account->moved(server, stored);
        });
}

void GitHubAccount::moved(const GitHubServer &server, const SecretStore::ReadResult &stored)
{
    m_busy = false;
    m_feedback.clear();
    qCDebug(lcGitHub).noquote() << "GitHub server" << server.name();
    server.store(m_preferences);
    m_credentials.useServer(server, stored);
    Q_EMIT changed();
}

QString GitHubAccount::serverAddress() const
{
    return m_credentials.server().address();
}

QString GitHubAccount::apiHost() const
{
    return m_credentials.server().apiRoot().host();
}

void GitHubAccount::readBack(const SecretStore::ReadResult &stored)
{
    m_busy = false;
    m_feedback.clear();
    // A new token is asked about once the pane has shown (followCredentials).
    m_credentials.takeStored(stored);
    Q_EMIT changed();
}

void GitHubAccount::startStoring(const QString &progress)
{
    m_busy = true;
    setFeedback(progress);
}

void GitHubAccount::saved(const QString &token, const std::optional<SecretStore::Error> &failure)
{
    m_busy = false;
    if (failure)
        return setFeedback(
            tr("Der Token konnte nicht gespeichert werden (Schlüsselbund, Fehler %1).").arg(failure->status()));
    qCDebug(lcGitHub) << "token saved";
    m_feedback = tr("Token gespeichert.");
    // Forget the answer about the token before, even when the same token is saved again.
    m_askedFor.reset();
    m_credentials.setToken(token);
    lookUpIfUnknown();
}

void GitHubAccount::removed(const std::optional<SecretStore::Error> &failure)
{
    m_busy = false;
    if (failure)
        return setFeedback(
            tr("Der Token konnte nicht entfernt werden (Schlüsselbund, Fehler %1).").arg(failure->status()));
    qCDebug(lcGitHub) << "token removed";
    m_feedback = tr("Token entfernt.");
    m_credentials.setToken(std::nullopt);
    lookUpIfUnknown();
}

void GitHubAccount::followCredentials()
{
    if (m_following && m_credentials.tokenGeneration() != m_askedFor)
        ask();
    Q_EMIT changed();
}

void GitHubAccount::lookUpIfUnknown()
{
    m_following = true;
    if (m_credentials.tokenGeneration() != m_askedFor || !m_lookupError.isEmpty())
        ask();
    Q_EMIT changed();
}

void GitHubAccount::ask()
{
    m_lookup.cancel();
    m_user.reset();
    m_lookupError.clear();
    m_askedFor = m_credentials.tokenGeneration();
    if (m_credentials.token())
        lookUp();
}

void GitHubAccount::lookUp()
{
    // An answer 401 has marked the token refused on its way here; the line then says so.
    m_lookup = m_api.currentUser([this](const GitHubResult<GitHubUser> &result) {
        m_lookup = {};
        if (result.isOk())
            m_user = result.value();
        else
            m_lookupError = GitHubErrorText::of(result.error(), GitHubErrorText::Asked::Account);
        Q_EMIT changed();
    });
}

void GitHubAccount::setFeedback(const QString &text)
{
    m_feedback = text;
    Q_EMIT changed();
}

QString GitHubAccount::statusText() const
{
    if (m_credentials.isReading())
        return GitHubTokenState::readingText();
    if (m_credentials.isStoreUnavailable())
        return GitHubTokenState::storeUnavailableText();
    if (!m_credentials.token())
        return tr("Kein Token hinterlegt.");
    if (m_credentials.isRefused())
        return GitHubTokenState::refusedText();
    if (m_user)
        return tr("Angemeldet als %1").arg(m_user->login);
    if (!m_lookupError.isEmpty())
        return m_lookupError;
    return tr("Wird geprüft …");
}

QString GitHubAccount::scopesText() const
{
    if (!m_user || m_credentials.isRefused())
        return {};
    if (!m_user->scopes)
        return tr("Fein granuliertes Token");
    if (m_user->scopes->isEmpty())
        return tr("Berechtigungen: keine");
    return tr("Berechtigungen: %1").arg(m_user->scopes->join(QStringLiteral(", ")));
}

QString GitHubAccount::budgetText() const
{
    const GitHubBudget *budget = m_credentials.budget();
    if (!budget || !budget->limit() || !budget->remaining())
        return {};
    const QLocale locale;
    return tr("GitHub-Kontingent: %1 von %2 übrig, Tarnlet nutzt %3 pro Stunde")
        .arg(locale.toString(*budget->remaining()), locale.toString(*budget->limit()),
            locale.toString(budget->answersLastHour()));
}

QString GitHubAccount::notificationsText() const
{
    if (m_user && !m_credentials.isRefused()) {
        const QStringList scopes = m_user->scopes.value_or(QStringList());
        if (!m_user->scopes || !(scopes.contains(u"notifications") || scopes.contains(u"repo")))
            return GitHubErrorText::notificationsNeedClassicToken();
    }
    if (m_cannotMarkReadFor == m_credentials.tokenGeneration())
        return tr("Der Token darf Benachrichtigungen nicht als gelesen markieren (Scope notifications oder repo "
                  "nötig).");
    return {};
}

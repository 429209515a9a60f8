#include "FakeGitHubApi.h"
#include "InMemorySecretStore.h"
#include "ManualScheduler.h"
#include "SettingsTestSupport.h"

#include "integrations/github/GitHubAccount.h"
#include "integrations/github/GitHubAccountPane.h"
#include "integrations/github/GitHubBudget.h"
#include "integrations/github/GitHubCredentials.h"
#include "integrations/github/GitHubIntegration.h"
#include "integrations/github/GitHubResponse.h"
#include "integrations/github/GitHubServer.h"
#include "integrations/github/GitHubTokenState.h"
#include "services/TokenExpiry.h"

#include <QAccessible>
#include <QLineEdit>
#include <QLocale>
#include <QScopeGuard>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// The account with its parts, made before the settings window that shows its pane.
struct GitHubAccountParts {
    TempPreferences accountPrefs;
    InMemorySecretStore secrets;
    GitHubCredentials credentials;
    ManualScheduler scheduler;
    GitHubBudget budget { credentials, scheduler };
    FakeGitHubApi gitHub;
    ManualScheduler expiryClock;
    TokenExpiry expiry { credentials, GitHubIntegration::tokenEnd, expiryClock, *accountPrefs.store };
    GitHubAccount account { secrets, credentials, gitHub, expiry, *accountPrefs.store };
};

class GitHubAccountPaneTest : public GitHubAccountParts, public SettingsTest {
protected:
    GitHubAccountPaneTest()
        : SettingsTest({ { QString(GitHubTokenState::accountPane), u"GitHub-Konto"_s, u"person.badge.key"_s,
            [this] { return new GitHubAccountPane(account); } } })
    {
        select(QString(GitHubTokenState::accountPane));
    }
    void press(const QString &title) { button(*view().currentPane(), title)->click(); }
    QLineEdit *field() { return findNamed<QLineEdit>(*view().currentPane(), u"Persönlicher Zugriffstoken"_s); }
    void useServer(const QString &address)
    {
        findNamed<QLineEdit>(*view().currentPane(), u"Serveradresse"_s)->setText(address);
        press(u"Übernehmen"_s);
        settle();
    }
    // The secret store answers on a later turn of the event loop.
    void save(const QString &input)
    {
        field()->setText(input);
        press(u"Speichern"_s);
        settle();
    }
    bool shows(const QString &text) { return visibleTexts(*view().currentPane()).contains(text); }
};

TEST_F(GitHubAccountPaneTest, SavesTheTrimmedTokenShowsTheAccountUntilRefusedAndRemovesIt)
{
    field()->setText(u"ghp_secret"_s);
    QAccessibleInterface *typed = QAccessible::queryAccessibleInterface(field());
    EXPECT_FALSE((typed->text(QAccessible::Value) + typed->text(QAccessible::Name)).contains(u"secret"_s));
    save(u" \t "_s);
    EXPECT_TRUE(shows(u"Bitte einen Token eingeben."_s));
    secrets.failSaves = 5;
    // While the store works the pane says so and takes no second call: the buttons wait, and a
    // token typed meanwhile stays in the field on Return.
    QPushButton *saveButton = button(*view().currentPane(), u"Speichern"_s);
    QPushButton *removeButton = button(*view().currentPane(), u"Entfernen"_s);
    field()->setText(u"ghp_new"_s);
    saveButton->click();
    EXPECT_TRUE(shows(u"Wird gespeichert …"_s));
    EXPECT_FALSE(saveButton->isEnabled() || removeButton->isEnabled());
    field()->setText(u"ghp_typed"_s);
    QTest::keyClick(field(), Qt::Key_Return);
    EXPECT_EQ(field()->text(), u"ghp_typed"_s);
    settle();
    EXPECT_TRUE(shows(u"Der Token konnte nicht gespeichert werden (Schlüsselbund, Fehler 5)."_s));
    EXPECT_TRUE(saveButton->isEnabled() && removeButton->isEnabled());
    EXPECT_EQ(credentials.token(), std::nullopt);
    secrets.failSaves = 0;

    save(u"  ghp_secret\n"_s);
    EXPECT_EQ(secrets.items.value(u"github.pat"_s), u"ghp_secret"_s);
    EXPECT_EQ(credentials.token(), u"ghp_secret"_s);
    gitHub.users.answer(GitHubUser { u"octocat"_s, QStringList { u"repo"_s, u"notifications"_s } });
    EXPECT_TRUE(shows(u"Berechtigungen: repo, notifications"_s));
    // GitHub refusing to mark a thread read is said once, for the token it refused.
    const QString cannotMark
        = u"Der Token darf Benachrichtigungen nicht als gelesen markieren (Scope notifications oder repo nötig)."_s;
    EXPECT_FALSE(shows(cannotMark));
    account.noteCannotMarkRead(credentials.tokenGeneration() - 1);
    EXPECT_FALSE(shows(cannotMark));
    account.noteCannotMarkRead(credentials.tokenGeneration());
    account.noteCannotMarkRead(credentials.tokenGeneration());
    EXPECT_EQ(visibleTexts(*view().currentPane()).count(cannotMark), 1);

    // What is left of the hourly limit shows once an answer told it, in the local number format.
    const QLocale locale;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    const auto restoreLocale = qScopeGuard([&] { QLocale::setDefault(locale); });
    const QString budgetLine = u"GitHub-Kontingent: 4.210 von 5.000 übrig, Tarnlet nutzt 1 pro Stunde"_s;
    EXPECT_FALSE(shows(budgetLine));
    budget.take({ 200, {}, { { "x-ratelimit-limit", "5000" }, { "x-ratelimit-remaining", "4210" } } });
    EXPECT_TRUE(shows(budgetLine));

    // GitHub answering 401 to the account question: the account line says the token is refused.
    save(u"ghp_other"_s);
    EXPECT_FALSE(shows(budgetLine)) << "another token may be another account's";
    gitHub.users.answer(GitHubError::http(401));
    EXPECT_TRUE(shows(u"GitHub lehnt den Token ab (abgelaufen oder widerrufen)"_s));

    press(u"Entfernen"_s);
    EXPECT_TRUE(shows(u"Wird entfernt …"_s));
    settle();
    EXPECT_TRUE(secrets.items.isEmpty());
    EXPECT_EQ(credentials.token(), std::nullopt);
    EXPECT_TRUE(shows(u"Kein Token hinterlegt."_s));
}

// Each server keeps its own token; an address that is not a server's changes nothing.
TEST_F(GitHubAccountPaneTest, AnEnterpriseServerReadsSavesAndRemovesItsOwnTokenAndABadAddressIsRefused)
{
    secrets.items.insert(u"github.pat"_s, u"ghp_public"_s);
    secrets.items.insert(u"github.pat@ghe.example.com:8443"_s, u"ghp_enterprise"_s);
    credentials.takeStored(secrets.read(u"github.pat"_s));
    const quint64 generation = credentials.tokenGeneration();
    for (const QString &bad : { u"http://ghe.example.com"_s, u"ghe.example.com"_s, u"https://ghe.example.com/x"_s,
             u"https://me@ghe.example.com"_s, u"https://ghe.example.com/?a"_s, u"https://"_s }) {
        useServer(bad);
        EXPECT_TRUE(shows(u"Ungültige Serveradresse: bitte nur https:// und den Namen des Servers angeben, etwa "
                          "https://github.example.com."_s))
            << bad.toStdString();
        EXPECT_EQ(credentials.tokenGeneration(), generation);
    }
    EXPECT_FALSE(accountPrefs.store->containsUserValue(GitHubServer::preferenceKey));

    useServer(u"https://GHE.example.com:8443/"_s);
    EXPECT_EQ(accountPrefs.store->stringValue(GitHubServer::preferenceKey), u"https://ghe.example.com:8443"_s);
    EXPECT_EQ(credentials.token(), u"ghp_enterprise"_s);
    EXPECT_EQ(credentials.server().apiRoot(), QUrl(u"https://ghe.example.com:8443/api/v3/"_s));
    EXPECT_TRUE(shows(u"Der Token liegt im Schlüsselbund des Systems und geht nur an die GitHub-API "
                      "(ghe.example.com). Beide GitHub-Module nutzen ihn ab ihrer nächsten Anfrage."_s));
    save(u"ghp_renewed"_s);
    EXPECT_EQ(secrets.items.value(u"github.pat@ghe.example.com:8443"_s), u"ghp_renewed"_s);
    press(u"Entfernen"_s);
    settle();
    EXPECT_EQ(secrets.items, (QHash<QString, QString> { { u"github.pat"_s, u"ghp_public"_s } }));

    useServer(u"https://api.github.com"_s); // github.com too
    EXPECT_FALSE(accountPrefs.store->containsUserValue(GitHubServer::preferenceKey));
    EXPECT_EQ(credentials.token(), u"ghp_public"_s);
}

// A keyring that could not be read is no missing token; "Erneut lesen" asks it again without waiting.
TEST_F(GitHubAccountPaneTest, AnUnreadableKeyringIsSaidAndReadAgainOnRequest)
{
    secrets.unavailable = true;
    credentials.takeStored(secrets.read(u"github.pat"_s));
    EXPECT_TRUE(shows(u"Schlüsselbund nicht verfügbar"_s));
    EXPECT_FALSE(shows(u"Kein Token hinterlegt."_s));

    secrets.unavailable = false;
    secrets.items.insert(u"github.pat"_s, u"ghp_unlocked"_s);
    QPushButton *readAgain = button(*view().currentPane(), u"Erneut lesen"_s);
    ASSERT_TRUE(readAgain);
    readAgain->click();
    EXPECT_TRUE(shows(u"Wird gelesen …"_s));
    EXPECT_FALSE(readAgain->isEnabled());
    EXPECT_EQ(credentials.token(), std::nullopt) << "the answer comes on a later turn";
    settle();
    EXPECT_EQ(credentials.token(), u"ghp_unlocked"_s);
    // A fine-grained token cannot read notifications at all; neither can a classic one without the scope.
    gitHub.users.answer(GitHubUser { u"octocat"_s, std::nullopt });
    EXPECT_TRUE(shows(u"Angemeldet als octocat"_s));
    EXPECT_TRUE(shows(u"GitHub-Meldungen brauchen ein klassisches Token mit dem Scope notifications oder repo."_s));
    EXPECT_FALSE(shows(u"Der Token darf Benachrichtigungen nicht als gelesen markieren (Scope notifications oder repo "
                       "nötig)."_s));
    EXPECT_TRUE(readAgain->isEnabled());
}

} // namespace

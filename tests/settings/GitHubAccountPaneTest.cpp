#include "SettingsTestSupport.h"

#include <QAccessible>
#include <QLineEdit>
#include <QPushButton>

using namespace Qt::StringLiterals;

namespace {

class GitHubAccountPaneTest : public SettingsTest {
protected:
    GitHubAccountPaneTest() { select(SettingsPane::GitHubAccount); }
    void press(const QString &title)
    {
        for (QPushButton *button : view().currentPane()->findChildren<QPushButton *>())
            if (button->text() == title)
                return button->click();
        ADD_FAILURE() << "no button " << title.toStdString();
    }
    QLineEdit *field() { return findNamed<QLineEdit>(*view().currentPane(), u"Persönlicher Zugriffstoken"_s); }
    void save(const QString &input)
    {
        field()->setText(input);
        press(u"Speichern"_s);
    }
    bool shows(const QString &text) { return visibleTexts(*view().currentPane()).contains(text); }
    std::optional<QString> stored() { return secrets.read(u"github.pat"_s); }
};

TEST_F(GitHubAccountPaneTest, SavedTokenReachesStoreAndClientsAndTheAccountIsShownUntilRefused)
{
    field()->setText(u"ghp_secret"_s);
    QAccessibleInterface *typed = QAccessible::queryAccessibleInterface(field());
    EXPECT_FALSE((typed->text(QAccessible::Value) + typed->text(QAccessible::Name)).contains(u"secret"_s));
    save(u"  ghp_secret\n"_s);
    EXPECT_EQ(stored(), u"ghp_secret"_s);
    EXPECT_EQ(credentials.token(), u"ghp_secret"_s);
    gitHub.users.answer(GitHubUser { u"octocat"_s, QStringList { u"repo"_s, u"notifications"_s } });
    EXPECT_TRUE(shows(u"Angemeldet als octocat"_s));
    EXPECT_TRUE(shows(u"Berechtigungen: repo, notifications"_s));

    save(u"github_pat_fine"_s);
    gitHub.users.answer(GitHubUser { u"octocat"_s, std::nullopt });
    EXPECT_TRUE(shows(u"Fein granuliertes Token"_s)) << "no scopes";
    credentials.markRefused(u"github_pat_fine"_s);
    EXPECT_TRUE(shows(u"GitHub lehnt den Token ab (abgelaufen oder widerrufen)"_s));
    EXPECT_FALSE(shows(u"Fein granuliertes Token"_s));
}

TEST_F(GitHubAccountPaneTest, BlankInputAndStoreFailuresStoreNothingAndRemoveForgetsTheToken)
{
    secrets.items.insert(u"github.pat"_s, u"ghp_old"_s);
    credentials.setToken(u"ghp_old"_s);
    save(u" \t "_s);
    EXPECT_TRUE(shows(u"Bitte einen Token eingeben."_s));
    secrets.failSaves = 5;
    save(u"ghp_new"_s);
    EXPECT_TRUE(shows(u"Der Token konnte nicht gespeichert werden (Schlüsselbund, Fehler 5)."_s));
    EXPECT_EQ(stored(), u"ghp_old"_s);
    EXPECT_EQ(credentials.token(), u"ghp_old"_s);
    secrets.failSaves = 0;

    // GitHub answering 401 to the account question marks the token refused for every part.
    save(u"ghp_new"_s);
    gitHub.users.answer(GitHubError::http(401));
    EXPECT_TRUE(credentials.isRefused());
    save(u"ghp_new"_s);
    EXPECT_EQ(gitHub.users.waiting(), 1) << "saved again, the same token is asked about again";

    press(u"Entfernen"_s);
    EXPECT_EQ(stored(), std::nullopt);
    EXPECT_EQ(credentials.token(), std::nullopt);
    EXPECT_TRUE(shows(u"Kein Token hinterlegt."_s));
}

TEST(GitHubAccount, TheLaunchTokenIsAskedAboutWhenFirstLookedAtAndAgainAfterAFailure)
{
    InMemorySecretStore secrets;
    GitHubCredentials credentials(u"ghp_launch"_s);
    FakeGitHubApi gitHub;
    GitHubAccount account(secrets, credentials, gitHub);
    QCoreApplication::processEvents();
    EXPECT_EQ(gitHub.users.waiting(), 0);
    account.lookUpIfUnknown(); // the pane shows
    gitHub.users.answer(GitHubError::transport(99, u"offline"_s));
    EXPECT_EQ(account.statusText(), u"GitHub ist nicht erreichbar."_s);
    account.lookUpIfUnknown();
    gitHub.users.answer(GitHubUser { u"octocat"_s, QStringList {} });
    EXPECT_EQ(account.scopesText(), u"Berechtigungen: keine"_s);
    account.lookUpIfUnknown();
    EXPECT_EQ(gitHub.users.arguments.size(), 2) << "not again once the answer is known";
}

} // namespace

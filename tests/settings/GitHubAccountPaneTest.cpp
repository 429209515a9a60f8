#include "SettingsTestSupport.h"

#include <QAccessible>
#include <QLineEdit>

using namespace Qt::StringLiterals;

namespace {

class GitHubAccountPaneTest : public SettingsTest {
protected:
    GitHubAccountPaneTest() { select(SettingsPanes::gitHubAccount); }
    void press(const QString &title) { button(*view().currentPane(), title)->click(); }
    QLineEdit *field() { return findNamed<QLineEdit>(*view().currentPane(), u"Persönlicher Zugriffstoken"_s); }
    void save(const QString &input)
    {
        field()->setText(input);
        press(u"Speichern"_s);
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
    save(u"ghp_new"_s);
    EXPECT_TRUE(shows(u"Der Token konnte nicht gespeichert werden (Schlüsselbund, Fehler 5)."_s));
    EXPECT_EQ(credentials.token(), std::nullopt);
    secrets.failSaves = 0;

    save(u"  ghp_secret\n"_s);
    EXPECT_EQ(secrets.read(u"github.pat"_s), u"ghp_secret"_s);
    EXPECT_EQ(credentials.token(), u"ghp_secret"_s);
    gitHub.users.answer(GitHubUser { u"octocat"_s, QStringList { u"repo"_s, u"notifications"_s } });
    EXPECT_TRUE(shows(u"Berechtigungen: repo, notifications"_s));

    // GitHub answering 401 to the account question marks the token refused for every part.
    save(u"ghp_other"_s);
    gitHub.users.answer(GitHubError::http(401));
    EXPECT_TRUE(credentials.isRefused());
    EXPECT_TRUE(shows(u"GitHub lehnt den Token ab (abgelaufen oder widerrufen)"_s));

    press(u"Entfernen"_s);
    EXPECT_TRUE(secrets.items.isEmpty());
    EXPECT_EQ(credentials.token(), std::nullopt);
    EXPECT_TRUE(shows(u"Kein Token hinterlegt."_s));
}

} // namespace

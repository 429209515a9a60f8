// A module pane read through the module contract: the list the module lets the user keep, the
// lines it lists with their links and commands, and its error text.
#include "SettingsTestSupport.h"
#include "UrlSink.h"

#include "settings/ModuleDetailList.h"
#include "settings/ModuleSettingsPane.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

const QString key = u"test.entries"_s;

class ModulePaneTest : public SettingsWindowTestBase {
protected:
    QStringList stored() { return fixture.preferences->stringListValue(key).value_or(QStringList { u"-"_s }); }

    // The visible button with this accessible name, or else this text (rows added to a shown
    // list show once the event loop turns).
    static QPushButton *button(QWidget &pane, const QString &name)
    {
        settle();
        for (QPushButton *candidate : pane.findChildren<QPushButton *>()) {
            if (candidate->isVisibleTo(&pane) && (candidate->accessibleName() == name || candidate->text() == name))
                return candidate;
        }
        return nullptr;
    }
};

TEST_F(ModulePaneTest, ListEditorAddsNormalizedEntriesRefusesWithAReasonAndRemoves)
{
    // Entries are "a/b"; the input is trimmed and anything without a slash refused.
    fixture.actions->list = ModuleListSetting { key, u"Einträge"_s, u"Eintrag hinzufügen"_s, 3,
        [](const QString &input) -> ModuleListSetting::Normalized {
            if (!input.contains(u'/'))
                return ModuleListSetting::Refusal { u"Bitte in der Form a/b."_s };
            return input.trimmed();
        } };
    fixture.preferences->setValue(key, QStringList { u"a/one"_s });
    QWidget &pane = select(SettingsPane::GitHubActions);
    QLineEdit &field = *findNamed<QLineEdit>(pane, u"Eintrag hinzufügen"_s);
    const auto add = [&](const QString &input, const QString &reason = {}) {
        field.setText(input);
        button(pane, u"Hinzufügen"_s)->click();
        EXPECT_TRUE(reason.isEmpty() ? field.text().isEmpty() : visibleTexts(pane).contains(reason)) << reason.toStdString();
    };
    add(u"  a/two "_s);
    EXPECT_EQ(stored(), (QStringList { u"a/one"_s, u"a/two"_s }));
    field.setText(u"nothing"_s);
    QTest::keyClick(&field, Qt::Key_Return); // Return adds too
    EXPECT_TRUE(visibleTexts(pane).contains(u"Bitte in der Form a/b."_s));
    add(u"A/ONE"_s, u"Steht schon in der Liste."_s);
    add(u"a/three"_s);
    add(u"a/four"_s, u"Mehr als 3 Einträge sind nicht möglich."_s);
    EXPECT_EQ(stored(), (QStringList { u"a/one"_s, u"a/two"_s, u"a/three"_s }));
    EXPECT_EQ(field.text(), u"a/four"_s);

    EXPECT_EQ(button(pane, u"a/two entfernen"_s)->text(), u"Entfernen"_s);
    button(pane, u"a/two entfernen"_s)->click();
    EXPECT_EQ(stored(), (QStringList { u"a/one"_s, u"a/three"_s }));
    EXPECT_FALSE(button(pane, u"a/two entfernen"_s));
    EXPECT_FALSE(visibleTexts(pane).contains(u"Mehr als 3 Einträge sind nicht möglich."_s));

    // Written elsewhere, the list shows at once.
    fixture.preferences->setValue(key, QStringList { u"x/y"_s });
    EXPECT_TRUE(button(pane, u"x/y entfernen"_s));
    EXPECT_FALSE(button(pane, u"a/one entfernen"_s));
}

TEST_F(ModulePaneTest, LinesOpenTheirGitHubPageRunTheirCommandAndTheErrorTextShows)
{
    UrlSink sink;
    int presses = 0;
    const QUrl run(u"https://github.com/o/r/actions/runs/7"_s);
    const auto lines = [&](bool underWay) {
        return QList<ModuleDetail> {
            { u"o/r"_s, ModuleRow { u"CI"_s, u"main · erfolgreich"_s, {}, Color::green(), run }, {}, {} },
            { u"o/r"_s, ModuleRow { u"Lint"_s, u"main"_s, {}, Color::red(), QUrl(u"https://example.com/x"_s) }, {},
                {} },
            { u"other"_s, ModuleRow { u"web"_s, u"nginx · läuft"_s, {}, Color::green(), {} },
                ModuleCommand { u"Stoppen"_s, u"web stoppen"_s, underWay, [&presses] { ++presses; } },
                u"Container läuft nicht"_s },
        };
    };
    fixture.actions->setDetails(lines(false));
    fixture.actions->setError(u"Kein GitHub-Token hinterlegt."_s);
    auto &pane = static_cast<ModuleSettingsPane &>(select(SettingsPane::GitHubActions));
    const QStringList texts = visibleTexts(pane);
    for (const QString &text : { u"Kein GitHub-Token hinterlegt."_s, u"o/r"_s, u"Container läuft nicht"_s })
        EXPECT_TRUE(texts.contains(text)) << text.toStdString();

    const QList<DetailRow *> rows = pane.details()->rows();
    ASSERT_EQ(rows.size(), 3);
    QTest::mouseClick(rows[0], Qt::LeftButton);
    EXPECT_FALSE(rows[1]->isLinked()) << "a page off github.com is no link";
    QTest::mouseClick(rows[1], Qt::LeftButton);
    EXPECT_EQ(sink.opened, QList<QUrl> { run });

    QPushButton *stop = rows[2]->commandButton();
    EXPECT_EQ(stop->text(), u"Stoppen"_s);
    stop->click();
    EXPECT_EQ(presses, 1);
    // Under way: the same button, dimmed; a press does nothing.
    fixture.actions->setDetails(lines(true));
    fixture.actions->setError(std::nullopt);
    settle();
    EXPECT_EQ(pane.details()->rows()[2]->commandButton(), stop);
    EXPECT_FALSE(stop->isEnabled());
    stop->click();
    EXPECT_EQ(presses, 1);
    EXPECT_FALSE(visibleTexts(pane).contains(u"Kein GitHub-Token hinterlegt."_s));
}

} // namespace

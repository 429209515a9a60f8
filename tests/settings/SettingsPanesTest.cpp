// The panes: preference bindings, the module panes over the registry and the module contract
// (the list the module lets the user keep, its lines with their links and commands, its error),
// the updates pane over the updater, and the duration block.
#include "SettingsTestSupport.h"
#include "UrlSink.h"

#include "settings/ModuleDetailList.h"
#include "settings/ModuleSettingsPane.h"

#include "widgets/SegmentedPicker.h"
#include "widgets/SteppedSlider.h"
#include "widgets/ToggleSwitch.h"

#include <QAccessible>
#include <QComboBox>
#include <QGuiApplication>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

class SettingsPanesTest : public SettingsWindowTestBase {
protected:
    ToggleSwitch *toggle(QWidget &pane, const QString &name) { return findNamed<ToggleSwitch>(pane, name); }
};

TEST_F(SettingsPanesTest, GeneralPanePickersAndSwitchStoreTheirChoiceAndShowChangesMadeElsewhere)
{
    QWidget &pane = select(SettingsPane::General);
    const auto segments = findNamed<SegmentedPicker>(pane, u"Erscheinungsbild"_s)->findChildren<QRadioButton *>();
    ASSERT_EQ(segments.size(), 3);
    segments.at(1)->click();
    EXPECT_EQ(fixture.preferences->stringValue(AppPreferences::appearance), u"light"_s);
    segments.at(1)->setFocus();
    QTest::keyClick(segments.at(1), Qt::Key_Left); // the arrow keys move the choice, as in any radio group
    EXPECT_EQ(fixture.preferences->stringValue(AppPreferences::appearance), u"system"_s);
    EXPECT_TRUE(fixture.preferences->containsUserValue(AppPreferences::appearance));

    // The language is read once at start; the picker only stores the choice.
    const auto languages = findNamed<SegmentedPicker>(pane, u"Sprache"_s)->findChildren<QRadioButton *>();
    ASSERT_EQ(languages.size(), 3);
    languages.at(2)->click();
    EXPECT_EQ(fixture.preferences->stringValue(AppPreferences::language), u"en"_s);
    languages.at(1)->click();
    EXPECT_EQ(fixture.preferences->stringValue(AppPreferences::language), u"de"_s);

    // A change made elsewhere shows at once, and reflecting it writes nothing back.
    ToggleSwitch *launch = toggle(pane, u"Einstellungen beim Start anzeigen"_s);
    launch->click();
    EXPECT_FALSE(fixture.preferences->boolValue(AppPreferences::showSettingsOnLaunch));
    fixture.preferences->remove(AppPreferences::showSettingsOnLaunch);
    EXPECT_TRUE(launch->isChecked());
    EXPECT_FALSE(fixture.preferences->containsUserValue(AppPreferences::showSettingsOnLaunch));
}

TEST_F(SettingsPanesTest, NotchPaneChoosesTheScreenAndTheFullScreenRule)
{
    fixture.preferences->setValue(AppPreferences::screen, u"HDMI-1"_s); // not attached here
    QWidget &pane = select(SettingsPane::Notch);
    auto *picker = findNamed<QComboBox>(pane, u"Bildschirm"_s);
    ASSERT_TRUE(picker);
    const QScreen *screen = QGuiApplication::primaryScreen();
    QStringList titles;
    for (int i = 0; i < picker->count(); ++i)
        titles << picker->itemText(i);
    EXPECT_EQ(titles,
        (QStringList { u"Hauptbildschirm"_s, u"Bildschirm mit dem Mauszeiger"_s,
            u"%1 · %2 × %3"_s.arg(screen->name()).arg(screen->size().width()).arg(screen->size().height()),
            u"HDMI-1"_s }))
        << "an absent chosen screen stays listed by its name";
    EXPECT_EQ(picker->currentText(), u"HDMI-1"_s);

    picker->setFocus();
    QTest::keyClick(picker, Qt::Key_Home);
    EXPECT_EQ(fixture.preferences->stringValue(AppPreferences::screen), u"primary"_s);
    fixture.preferences->setValue(AppPreferences::screen, u"pointer"_s);
    EXPECT_EQ(picker->currentText(), u"Bildschirm mit dem Mauszeiger"_s);

    toggle(pane, u"Bei Vollbild ausblenden"_s)->click();
    EXPECT_FALSE(fixture.preferences->boolValue(AppPreferences::hideBesideFullScreen));
}

TEST_F(SettingsPanesTest, ModulePaneShowsSwitchAndStatusAndFollowsModuleAndRegistry)
{
    QWidget &pane = select(SettingsPane::GitHubActions);
    QStringList expected { u"Modul"_s, u"Modul aktiv"_s, u"Status"_s, u"CI · main · erfolgreich"_s,
        u"Neueste Workflow-Läufe des Repos. Ein Klick öffnet das Log."_s };
    expected.sort();
    EXPECT_EQ(visibleTexts(pane), expected);

    // Switched off through the registry; the stopped module keeps showing its last status.
    fixture.actions->setStatus(ModuleStatus { u"CI · main · läuft"_s, Color::orange() });
    toggle(pane, u"Modul aktiv"_s)->click();
    EXPECT_TRUE(fixture.registry.disabledIDs().contains(u"github.actions"_s));
    settle();
    EXPECT_TRUE(visibleTexts(pane).contains(u"CI · main · läuft"_s));

    // Reopened, the pane reads the switch from the registry; a change there redraws it.
    view().close();
    fixture.controller.show();
    ToggleSwitch *active = toggle(select(SettingsPane::GitHubActions), u"Modul aktiv"_s);
    EXPECT_FALSE(active->isChecked());
    fixture.registry.setEnabled(true, u"github.actions"_s);
    settle();
    EXPECT_TRUE(active->isChecked());

    EXPECT_TRUE(visibleTexts(select(SettingsPane::Docker)).contains(u"Keine Daten"_s));
}

TEST_F(SettingsPanesTest, PaneOfAnUnregisteredModuleSaysSoUntilTheModuleArrives)
{
    SettingsFixture empty(temp.reopen(), false);
    empty.controller.show();
    SettingsView &window = *empty.controller.window();
    window.setSelection(SettingsPane::PullRequests);
    QWidget &pane = *window.currentPane();
    EXPECT_EQ(visibleTexts(pane), QStringList { u"Modul nicht verfügbar."_s });

    empty.add(u"github.pullRequests"_s, u"Pull Requests"_s);
    settle();
    EXPECT_TRUE(visibleTexts(pane).contains(u"Keine Daten"_s));
    EXPECT_FALSE(visibleTexts(pane).contains(u"Modul nicht verfügbar."_s));
}

TEST_F(SettingsPanesTest, UpdatesPaneWritesThroughAndDisablesTheButtonWhileNoCheckCanStart)
{
    fixture.updater->canCheck = false;
    QWidget &pane = select(SettingsPane::Updates);
    auto *button = pane.findChild<QPushButton *>();
    EXPECT_FALSE(button->isEnabled());
    toggle(pane, u"Automatisch nach Updates suchen"_s)->click();
    EXPECT_FALSE(fixture.updater->automatic);

    fixture.updater->setCanCheck(true);
    button->click();
    EXPECT_EQ(fixture.updater->checks, 1);

    // A new pane reads the updater's current setting.
    fixture.updater->automatic = true;
    select(SettingsPane::General);
    EXPECT_TRUE(toggle(select(SettingsPane::Updates), u"Automatisch nach Updates suchen"_s)->isChecked());
}

class DurationTest : public SettingsPanesTest {
protected:
    DurationTest() { select(SettingsPane::Notifications); }
    ~DurationTest() override { QLocale::setDefault(QLocale::system()); }

    SteppedSlider &slider() { return *view().currentPane()->findChild<SteppedSlider *>(); }
    QString label() { return view().currentPane()->findChild<QLabel *>(u"durationLabel"_s)->text(); }
    double stored() { return fixture.preferences->doubleValue(AppPreferences::flashDuration); }
    QAccessibleInterface *accessible() { return QAccessible::queryAccessibleInterface(&slider()); }
};

TEST_F(DurationTest, OneFractionDigitInTheUsersLocaleOnTheHalfSecondGridWithinRangeAndOnlyWhileEventsExpand)
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    select(SettingsPane::General);
    select(SettingsPane::Notifications);
    EXPECT_EQ(label(), u"3.5 s"_s);
    fixture.preferences->setValue(AppPreferences::flashDuration, 7.0);
    EXPECT_EQ(label(), u"7.0 s"_s);
    EXPECT_EQ(slider().gridValue(), 7.0);

    slider().setFocus();
    const std::pair<Qt::Key, double> keys[]
        = { { Qt::Key_Right, 7.5 }, { Qt::Key_End, 10 }, { Qt::Key_Right, 10 }, { Qt::Key_Home, 1 },
              { Qt::Key_PageUp, 2 } };
    for (const auto &[key, value] : keys) {
        QTest::keyClick(&slider(), key);
        EXPECT_EQ(stored(), value) << key;
    }
    QTest::mouseClick(&slider(), Qt::LeftButton, {}, QPoint(slider().width() * 37 / 100, slider().height() / 2));
    EXPECT_EQ(std::fmod(stored() * 2, 1.0), 0.0);
    EXPECT_GT(stored(), 2.0);
    const std::pair<double, double> accessibleValues[] = { { 3.3, 3.5 }, { 99.0, 10.0 }, { 6.4, 6.5 } };
    for (const auto &[set, value] : accessibleValues) {
        accessible()->valueInterface()->setCurrentValue(set);
        EXPECT_EQ(stored(), value) << set;
    }

    // Disabled while events do not expand; no key, click or accessible action changes the duration.
    findNamed<ToggleSwitch>(*view().currentPane(), u"Bei Ereignissen kurz aufklappen"_s)->click();
    EXPECT_FALSE(fixture.preferences->boolValue(AppPreferences::autoExpandOnEvents));
    EXPECT_FALSE(slider().isEnabled());
    QTest::keyClick(&slider(), Qt::Key_Right);
    QTest::mouseClick(&slider(), Qt::LeftButton, {}, QPoint(2, slider().height() / 2));
    accessible()->valueInterface()->setCurrentValue(2.0);
    accessible()->actionInterface()->doAction(QAccessibleActionInterface::increaseAction());
    EXPECT_EQ(stored(), 6.5);

    fixture.preferences->setValue(AppPreferences::autoExpandOnEvents, true);
    EXPECT_TRUE(slider().isEnabled());
}

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

// The panes: preference bindings, the module panes over the registry, the updates pane over
// the updater, and the duration block.
#include "SettingsTestSupport.h"

#include "widgets/SegmentedPicker.h"
#include "widgets/SettingsBlocks.h"
#include "widgets/SteppedSlider.h"
#include "widgets/ToggleSwitch.h"

#include <QAccessible>
#include <QComboBox>
#include <QGuiApplication>
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

TEST_F(SettingsPanesTest, GeneralPanePickerStoresTheChosenSchemeAndTheLaunchSwitchItsPreference)
{
    QWidget &pane = select(SettingsPane::General);
    auto *picker = pane.findChild<SegmentedPicker *>();
    ASSERT_TRUE(picker);
    EXPECT_EQ(picker->accessibleName(), u"Erscheinungsbild"_s);
    EXPECT_EQ(picker->value(), u"system"_s);

    const auto segments = picker->findChildren<QRadioButton *>();
    ASSERT_EQ(segments.size(), 3);
    EXPECT_EQ(segments.at(1)->text(), u"Hell"_s);
    segments.at(1)->click();
    EXPECT_EQ(fixture.preferences->stringValue(AppPreferences::appearance), u"light"_s);
    // The arrow keys move the choice, as in any radio group.
    segments.at(1)->setFocus();
    QTest::keyClick(segments.at(1), Qt::Key_Left);
    EXPECT_EQ(fixture.preferences->stringValue(AppPreferences::appearance), u"system"_s);
    EXPECT_TRUE(fixture.preferences->containsUserValue(AppPreferences::appearance));

    ToggleSwitch *launch = toggle(pane, u"Einstellungen beim Start anzeigen"_s);
    ASSERT_TRUE(launch);
    EXPECT_TRUE(launch->isChecked());
    launch->setFocus();
    QTest::keyClick(launch, Qt::Key_Space);
    EXPECT_FALSE(fixture.preferences->boolValue(AppPreferences::showSettingsOnLaunch));
    // A change made elsewhere shows at once, and reflecting it writes nothing back.
    fixture.preferences->remove(AppPreferences::showSettingsOnLaunch);
    EXPECT_TRUE(launch->isChecked());
    EXPECT_FALSE(fixture.preferences->containsUserValue(AppPreferences::showSettingsOnLaunch));
}

// The language is read once at start; the picker only stores the choice, and says so.
TEST_F(SettingsPanesTest, GeneralPaneLanguagePickerStoresTheChoiceForTheNextStart)
{
    auto *picker = findNamed<SegmentedPicker>(select(SettingsPane::General), u"Sprache"_s);
    ASSERT_TRUE(picker);
    EXPECT_EQ(picker->value(), u"system"_s);
    EXPECT_EQ(picker->accessibleDescription(), u"Gilt ab dem nächsten Start."_s);
    const auto segments = picker->findChildren<QRadioButton *>();
    ASSERT_EQ(segments.size(), 3);
    EXPECT_EQ(segments.at(2)->text(), u"English"_s);
    segments.at(2)->click();
    EXPECT_EQ(fixture.preferences->stringValue(AppPreferences::language), u"en"_s);
    segments.at(1)->click();
    EXPECT_EQ(fixture.preferences->stringValue(AppPreferences::language), u"de"_s);
}

TEST_F(SettingsPanesTest, NotchPaneChoosesTheScreenAndTheFullScreenRule)
{
    fixture.preferences->setValue(AppPreferences::screen, u"HDMI-1"_s); // not attached here
    QWidget &pane = select(SettingsPane::Notch);
    auto *picker = findNamed<QComboBox>(pane, u"Bildschirm"_s);
    ASSERT_TRUE(picker);
    const QScreen *screen = QGuiApplication::primaryScreen();
    const QStringList expected { u"Hauptbildschirm"_s, u"Bildschirm mit dem Mauszeiger"_s,
        u"%1 · %2 × %3"_s.arg(screen->name()).arg(screen->size().width()).arg(screen->size().height()), u"HDMI-1"_s };
    QStringList titles;
    for (int i = 0; i < picker->count(); ++i)
        titles << picker->itemText(i);
    EXPECT_EQ(titles, expected) << "an absent chosen screen stays listed by its name";
    EXPECT_EQ(picker->currentText(), u"HDMI-1"_s);

    picker->setFocus();
    QTest::keyClick(picker, Qt::Key_Home);
    EXPECT_EQ(fixture.preferences->stringValue(AppPreferences::screen), u"primary"_s);
    fixture.preferences->setValue(AppPreferences::screen, u"pointer"_s);
    EXPECT_EQ(picker->currentText(), u"Bildschirm mit dem Mauszeiger"_s);

    ToggleSwitch *fullScreen = toggle(pane, u"Bei Vollbild ausblenden"_s);
    ASSERT_TRUE(fullScreen);
    EXPECT_TRUE(fullScreen->isChecked());
    fullScreen->click();
    EXPECT_FALSE(fixture.preferences->boolValue(AppPreferences::hideBesideFullScreen));
}

TEST_F(SettingsPanesTest, ModulePaneShowsSwitchAndStatusAndFollowsTheModule)
{
    QWidget &pane = select(SettingsPane::GitHubActions);
    QStringList expected { u"Modul"_s, u"Modul aktiv"_s, u"Status"_s, u"CI · main · erfolgreich"_s,
        u"Neueste Workflow-Läufe des Repos. Ein Klick öffnet das Log."_s };
    expected.sort();
    EXPECT_EQ(visibleTexts(pane), expected);

    fixture.actions->setStatus(ModuleStatus { u"CI · main · läuft"_s, Color::orange() });
    settle();
    EXPECT_TRUE(visibleTexts(pane).contains(u"CI · main · läuft"_s));

    // Switched off through the registry; the stopped module keeps showing its last status.
    ToggleSwitch *active = toggle(pane, u"Modul aktiv"_s);
    ASSERT_TRUE(active);
    EXPECT_TRUE(active->isChecked());
    active->click();
    EXPECT_TRUE(fixture.registry.disabledIDs().contains(u"github.actions"_s));
    EXPECT_EQ(fixture.actions->stops, 1);
    settle();
    EXPECT_TRUE(visibleTexts(pane).contains(u"CI · main · läuft"_s));

    // Reopened, the pane reads the switch from the registry.
    view().close();
    fixture.controller->show();
    QWidget &again = select(SettingsPane::GitHubActions);
    EXPECT_FALSE(toggle(again, u"Modul aktiv"_s)->isChecked());
    toggle(again, u"Modul aktiv"_s)->click();
    EXPECT_FALSE(fixture.registry.disabledIDs().contains(u"github.actions"_s));
}

TEST_F(SettingsPanesTest, DockerPaneWithoutStatusSaysKeineDaten)
{
    QWidget &pane = select(SettingsPane::Docker);
    QStringList expected { u"Modul"_s, u"Modul aktiv"_s, u"Status"_s, u"Keine Daten"_s,
        u"Container mit Status. Start und Stop per Klick."_s };
    expected.sort();
    EXPECT_EQ(visibleTexts(pane), expected);
    EXPECT_EQ(pane.findChildren<SettingsDivider *>().size(), 1);

    // Disabled elsewhere: the registry's notice redraws the switch.
    fixture.registry.setEnabled(false, u"docker"_s);
    settle();
    EXPECT_FALSE(toggle(pane, u"Modul aktiv"_s)->isChecked());
}

TEST_F(SettingsPanesTest, PaneOfAnUnregisteredModuleSaysSoUntilTheModuleArrives)
{
    SettingsFixture empty(temp.reopen(), false);
    empty.controller->show();
    SettingsView &window = *empty.controller->window();
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
    ASSERT_TRUE(button);
    EXPECT_EQ(button->text(), u"Jetzt nach Updates suchen"_s);
    EXPECT_FALSE(button->isEnabled());

    ToggleSwitch *automatic = toggle(pane, u"Automatisch nach Updates suchen"_s);
    ASSERT_TRUE(automatic);
    EXPECT_TRUE(automatic->isEnabled());
    automatic->click();
    EXPECT_FALSE(fixture.updater->automatic);

    fixture.updater->setCanCheck(true);
    EXPECT_TRUE(button->isEnabled());
    button->click();
    EXPECT_EQ(fixture.updater->checks, 1);

    // A new pane reads the updater's current setting.
    fixture.updater->automatic = true;
    select(SettingsPane::General);
    EXPECT_TRUE(toggle(select(SettingsPane::Updates), u"Automatisch nach Updates suchen"_s)->isChecked());
}

class DurationTest : public SettingsPanesTest {
protected:
    ~DurationTest() override { QLocale::setDefault(QLocale::system()); }

    SteppedSlider &slider() { return *pane().findChild<SteppedSlider *>(); }
    QWidget &pane() { return *view().currentPane(); }
    QString label() { return pane().findChild<QLabel *>(u"durationLabel"_s)->text(); }
    double stored() { return fixture.preferences->doubleValue(AppPreferences::flashDuration); }
    QString accessibleValue() { return QAccessible::queryAccessibleInterface(&slider())->text(QAccessible::Value); }
};

TEST_F(DurationTest, DurationShowsOneFractionDigitInTheUsersLocale)
{
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    select(SettingsPane::Notifications);
    EXPECT_EQ(label(), u"3,5 s"_s);
    EXPECT_EQ(accessibleValue(), u"3,5 Sekunden"_s);
    EXPECT_EQ(slider().accessibleName(), u"Anzeigedauer"_s);

    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    select(SettingsPane::General);
    select(SettingsPane::Notifications);
    EXPECT_EQ(label(), u"3.5 s"_s);
    fixture.preferences->setValue(AppPreferences::flashDuration, 7.0);
    EXPECT_EQ(label(), u"7.0 s"_s);
    EXPECT_EQ(slider().gridValue(), 7.0);
}

TEST_F(DurationTest, SliderOnlyProducesValuesOnTheHalfSecondGridWithinRange)
{
    select(SettingsPane::Notifications);
    slider().setFocus();
    QTest::keyClick(&slider(), Qt::Key_Right);
    EXPECT_EQ(stored(), 4.0);
    QTest::keyClick(&slider(), Qt::Key_End);
    EXPECT_EQ(stored(), 10.0);
    QTest::keyClick(&slider(), Qt::Key_Right);
    EXPECT_EQ(stored(), 10.0);
    QTest::keyClick(&slider(), Qt::Key_Home);
    EXPECT_EQ(stored(), 1.0);
    QTest::keyClick(&slider(), Qt::Key_PageUp);
    EXPECT_EQ(stored(), 2.0);

    // Pointer and the accessibility value land on the grid too.
    QTest::mouseClick(&slider(), Qt::LeftButton, {}, QPoint(slider().width() * 37 / 100, slider().height() / 2));
    EXPECT_EQ(std::fmod(stored() * 2, 1.0), 0.0);
    EXPECT_GE(stored(), 1.0);
    QAccessible::queryAccessibleInterface(&slider())->valueInterface()->setCurrentValue(3.3);
    EXPECT_EQ(stored(), 3.5);
    QAccessible::queryAccessibleInterface(&slider())->valueInterface()->setCurrentValue(99.0);
    EXPECT_EQ(stored(), 10.0);
    QAccessible::queryAccessibleInterface(&slider())->valueInterface()->setCurrentValue(-4.0);
    EXPECT_EQ(stored(), 1.0);
}

TEST_F(DurationTest, BlockIsDisabledWhileEventsDoNotExpandAndKeepsTheStoredDuration)
{
    fixture.preferences->setValue(AppPreferences::flashDuration, 6.5);
    select(SettingsPane::Notifications);
    ToggleSwitch *expand = toggle(pane(), u"Bei Ereignissen kurz aufklappen"_s);
    ASSERT_TRUE(expand);
    expand->click();
    EXPECT_FALSE(fixture.preferences->boolValue(AppPreferences::autoExpandOnEvents));
    EXPECT_FALSE(slider().isEnabled());

    QTest::keyClick(&slider(), Qt::Key_Right);
    QTest::mouseClick(&slider(), Qt::LeftButton, {}, QPoint(2, slider().height() / 2));
    QAccessible::queryAccessibleInterface(&slider())->valueInterface()->setCurrentValue(2.0);
    QAccessible::queryAccessibleInterface(&slider())->actionInterface()->doAction(
        QAccessibleActionInterface::increaseAction());
    EXPECT_EQ(stored(), 6.5);

    fixture.preferences->setValue(AppPreferences::autoExpandOnEvents, true);
    EXPECT_TRUE(slider().isEnabled());
}

} // namespace

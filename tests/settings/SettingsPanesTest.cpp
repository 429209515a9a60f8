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

class SettingsPanesTest : public SettingsTest {
protected:
    ToggleSwitch *toggle(QWidget &pane, const QString &name) { return findNamed<ToggleSwitch>(pane, name); }
    QRadioButton *segment(QWidget &pane, const QString &picker, int index)
    {
        return findNamed<SegmentedPicker>(pane, picker)->findChildren<QRadioButton *>().at(index);
    }
};

TEST_F(SettingsPanesTest, GeneralAndNotchPanesStoreTheChoiceAndShowChangesMadeElsewhere)
{
    QWidget &general = select(SettingsPane::General);
    segment(general, u"Erscheinungsbild"_s, 1)->click();
    EXPECT_EQ(prefs.stringValue(AppPreferences::appearance), u"light"_s);
    segment(general, u"Erscheinungsbild"_s, 1)->setFocus();
    QTest::keyClick(segment(general, u"Erscheinungsbild"_s, 1), Qt::Key_Left); // as in any radio group
    EXPECT_EQ(prefs.stringValue(AppPreferences::appearance), u"system"_s);
    segment(general, u"Sprache"_s, 2)->click();
    EXPECT_EQ(prefs.stringValue(AppPreferences::language), u"en"_s);

    // Reflecting a change made elsewhere writes nothing back.
    ToggleSwitch *launch = toggle(general, u"Einstellungen beim Start anzeigen"_s);
    launch->click();
    EXPECT_FALSE(prefs.boolValue(AppPreferences::showSettingsOnLaunch));
    prefs.remove(AppPreferences::showSettingsOnLaunch);
    EXPECT_TRUE(launch->isChecked());
    EXPECT_FALSE(prefs.containsUserValue(AppPreferences::showSettingsOnLaunch));

    prefs.setValue(AppPreferences::screen, u"HDMI-1"_s); // not attached here
    QWidget &notch = select(SettingsPane::Notch);
    auto *picker = findNamed<QComboBox>(notch, u"Bildschirm"_s);
    const QSize size = QGuiApplication::primaryScreen()->size();
    EXPECT_EQ(picker->itemText(2), u"%1 · %2 × %3"_s.arg(QGuiApplication::primaryScreen()->name()).arg(size.width()).arg(size.height()));
    EXPECT_EQ(picker->currentText(), u"HDMI-1"_s) << "an absent chosen screen stays listed by its name";
    picker->setFocus();
    QTest::keyClick(picker, Qt::Key_Home);
    EXPECT_EQ(prefs.stringValue(AppPreferences::screen), u"primary"_s);
    prefs.setValue(AppPreferences::screen, u"pointer"_s);
    EXPECT_EQ(picker->currentText(), u"Bildschirm mit dem Mauszeiger"_s);
    toggle(notch, u"Bei Vollbild ausblenden"_s)->click();
    EXPECT_FALSE(prefs.boolValue(AppPreferences::hideBesideFullScreen));
}

TEST_F(SettingsPanesTest, ModulePanesFollowTheModuleAndTheRegistryAndWaitForAnUnregisteredModule)
{
    QWidget &pane = select(SettingsPane::GitHubActions);
    EXPECT_TRUE(visibleTexts(pane).contains(u"CI · main · erfolgreich"_s));

    // Switched off through the registry; the stopped module keeps showing its last status.
    actions->change(actions->status, ModuleStatus { u"CI · main · läuft"_s, Color::orange() });
    toggle(pane, u"Modul aktiv"_s)->click();
    EXPECT_TRUE(registry.disabledIDs().contains(u"github.actions"_s));
    settle();
    EXPECT_TRUE(visibleTexts(pane).contains(u"CI · main · läuft"_s));

    // A new pane reads the switch from the registry; a change there redraws it.
    select(SettingsPane::PullRequests);
    ToggleSwitch *active = toggle(select(SettingsPane::GitHubActions), u"Modul aktiv"_s);
    EXPECT_FALSE(active->isChecked());
    registry.setEnabled(true, u"github.actions"_s);
    settle();
    EXPECT_TRUE(active->isChecked());

    QWidget &docker = select(SettingsPane::Docker);
    EXPECT_EQ(visibleTexts(docker), QStringList { u"Modul nicht verfügbar."_s });
    add(u"docker"_s);
    settle();
    EXPECT_TRUE(visibleTexts(docker).contains(u"Keine Daten"_s));
    EXPECT_FALSE(visibleTexts(docker).contains(u"Modul nicht verfügbar."_s));
}

TEST_F(SettingsPanesTest, ListEditorAddsNormalizedEntriesRefusesWithAReasonAndRemoves)
{
    const QString key = u"test.entries"_s;
    actions->list = ModuleListSetting { key, u"Einträge"_s, u"Eintrag hinzufügen"_s, 3,
        [](const QString &input) -> ModuleListSetting::Normalized {
            if (!input.contains(u'/'))
                return ModuleListSetting::Refusal { u"Bitte in der Form a/b."_s };
            return input.trimmed();
        } };
    prefs.setValue(key, QStringList { u"a/one"_s });
    QWidget &pane = select(SettingsPane::GitHubActions);
    QLineEdit &field = *findNamed<QLineEdit>(pane, u"Eintrag hinzufügen"_s);
    // The visible button with this accessible name or text, once added rows show.
    const auto button = [&pane](const QString &name) -> QPushButton * {
        settle();
        for (QPushButton *candidate : pane.findChildren<QPushButton *>()) {
            if (candidate->isVisibleTo(&pane) && (candidate->accessibleName() == name || candidate->text() == name))
                return candidate;
        }
        return nullptr;
    };
    const auto add = [&](const QString &input, const QString &reason = {}) {
        field.setText(input);
        button(u"Hinzufügen"_s)->click();
        EXPECT_TRUE(reason.isEmpty() ? field.text().isEmpty() : visibleTexts(pane).contains(reason)) << reason.toStdString();
    };
    add(u"  a/two "_s);
    field.setText(u"nothing"_s);
    QTest::keyClick(&field, Qt::Key_Return); // Return adds too
    EXPECT_TRUE(visibleTexts(pane).contains(u"Bitte in der Form a/b."_s));
    add(u"A/ONE"_s, u"Steht schon in der Liste."_s);
    add(u"a/three"_s);
    add(u"a/four"_s, u"Mehr als 3 Einträge sind nicht möglich."_s);
    EXPECT_EQ(prefs.stringListValue(key), (QStringList { u"a/one"_s, u"a/two"_s, u"a/three"_s }));

    button(u"a/two entfernen"_s)->click();
    EXPECT_EQ(prefs.stringListValue(key), (QStringList { u"a/one"_s, u"a/three"_s }));
    EXPECT_FALSE(button(u"a/two entfernen"_s));
    EXPECT_FALSE(visibleTexts(pane).contains(u"Mehr als 3 Einträge sind nicht möglich."_s));
    prefs.setValue(key, QStringList { u"x/y"_s });
    EXPECT_TRUE(button(u"x/y entfernen"_s)) << "written elsewhere, the list shows at once";
}

TEST_F(SettingsPanesTest, LinesOpenTheirGitHubPageRunTheirCommandAndTheErrorTextShows)
{
    UrlSink sink;
    int presses = 0;
    const QUrl run(u"https://github.com/o/r/actions/runs/7"_s);
    const auto lines = [&](bool underWay) {
        return QList<ModuleDetail> {
            { u"o/r"_s, ModuleRow { u"CI"_s, u"main"_s, {}, Color::green(), run }, {}, {} },
            { u"o/r"_s, ModuleRow { u"Lint"_s, u"main"_s, {}, Color::red(), QUrl(u"https://example.com/x"_s) }, {}, {} },
            { u"other"_s, ModuleRow { u"web"_s, u"nginx · läuft"_s, {}, Color::green(), {} },
                ModuleCommand { u"Stoppen"_s, u"web stoppen"_s, underWay, [&presses] { ++presses; } },
                u"Container läuft nicht"_s },
        };
    };
    actions->lines = lines(false);
    actions->error = u"Kein GitHub-Token hinterlegt."_s;
    auto &pane = static_cast<ModuleSettingsPane &>(select(SettingsPane::GitHubActions));
    const QStringList texts = visibleTexts(pane);
    for (const QString &text : { u"Kein GitHub-Token hinterlegt."_s, u"o/r"_s, u"Container läuft nicht"_s })
        EXPECT_TRUE(texts.contains(text)) << text.toStdString();

    const QList<DetailRow *> rows = pane.details()->rows();
    QTest::mouseClick(rows[0], Qt::LeftButton);
    QTest::mouseClick(rows[1], Qt::LeftButton); // a page off github.com is no link
    EXPECT_EQ(sink.opened, QList<QUrl> { run });
    QPushButton *stop = rows[2]->commandButton();
    stop->click();
    EXPECT_EQ(presses, 1);

    // Under way: the same button, dimmed; a press does nothing.
    actions->change(actions->lines, lines(true));
    actions->change(actions->error, std::nullopt);
    settle();
    EXPECT_EQ(pane.details()->rows()[2]->commandButton(), stop);
    stop->click();
    EXPECT_EQ(presses, 1);
    EXPECT_FALSE(visibleTexts(pane).contains(u"Kein GitHub-Token hinterlegt."_s));
}

TEST_F(SettingsPanesTest, UpdatesPaneWritesThroughAndDisablesTheButtonWhileNoCheckCanStart)
{
    updater->canCheck = false;
    QWidget &pane = select(SettingsPane::Updates);
    auto *button = pane.findChild<QPushButton *>();
    EXPECT_FALSE(button->isEnabled());
    toggle(pane, u"Automatisch nach Updates suchen"_s)->click();
    EXPECT_FALSE(updater->automatic);
    updater->setCanCheck(true);
    button->click();
    EXPECT_EQ(updater->checks, 1);
}

TEST_F(SettingsPanesTest, DurationShowsOneFractionDigitInTheUsersLocaleOnTheHalfSecondGridOnlyWhileEventsExpand)
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    QWidget &pane = select(SettingsPane::Notifications);
    prefs.setValue(AppPreferences::flashDuration, 7.0);
    EXPECT_EQ(pane.findChild<QLabel *>(u"durationLabel"_s)->text(), u"7.0 s"_s);
    QLocale::setDefault(QLocale::system());
    SteppedSlider &slider = *pane.findChild<SteppedSlider *>();
    const auto stored = [this] { return prefs.doubleValue(AppPreferences::flashDuration); };

    slider.setFocus();
    const std::pair<Qt::Key, double> keys[] = { { Qt::Key_Right, 7.5 }, { Qt::Key_End, 10 }, { Qt::Key_Right, 10 },
        { Qt::Key_Home, 1 }, { Qt::Key_PageUp, 2 } };
    for (const auto &[key, value] : keys) {
        QTest::keyClick(&slider, key);
        EXPECT_EQ(stored(), value) << key;
    }
    QTest::mouseClick(&slider, Qt::LeftButton, {}, QPoint(slider.width() * 37 / 100, slider.height() / 2));
    EXPECT_EQ(std::fmod(stored() * 2, 1.0), 0.0);
    EXPECT_GT(stored(), 2.0);
    QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(&slider);
    const std::pair<double, double> accessibleValues[] = { { 3.3, 3.5 }, { 99.0, 10.0 }, { 6.4, 6.5 } };
    for (const auto &[set, value] : accessibleValues) {
        accessible->valueInterface()->setCurrentValue(set);
        EXPECT_EQ(stored(), value) << set;
    }

    // Disabled while events do not expand; no key, click or accessible action changes the duration.
    toggle(pane, u"Bei Ereignissen kurz aufklappen"_s)->click();
    EXPECT_FALSE(slider.isEnabled());
    QTest::keyClick(&slider, Qt::Key_Right);
    QTest::mouseClick(&slider, Qt::LeftButton, {}, QPoint(2, slider.height() / 2));
    accessible->valueInterface()->setCurrentValue(2.0);
    accessible->actionInterface()->doAction(QAccessibleActionInterface::increaseAction());
    EXPECT_EQ(stored(), 6.5);
    prefs.setValue(AppPreferences::autoExpandOnEvents, true);
    EXPECT_TRUE(slider.isEnabled());
}

} // namespace

#include "SettingsTestSupport.h"
#include "UrlSink.h"

#include "core/ListSuggestions.h"
#include "settings/ModuleDetailList.h"
#include "settings/ModuleDocumentView.h"
#include "settings/ModuleSettingsPane.h"
#include "settings/SecondsSlider.h"

#include "widgets/SegmentedPicker.h"
#include "widgets/SteppedSlider.h"
#include "widgets/ToggleSwitch.h"

#include <QAccessible>
#include <QClipboard>
#include <QComboBox>
#include <QJsonArray>
#include <QJsonObject>
#include <QJsonValue>
#include <QKeySequence>
#include <QKeySequenceEdit>
#include <QLineEdit>
#include <QLocale>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QSpinBox>
#include <QTest>

#include <cmath>

using namespace Qt::StringLiterals;

namespace {

class SettingsPanesTest : public SettingsTest {
protected:
    ToggleSwitch *toggle(QWidget &pane, const QString &name) { return findNamed<ToggleSwitch>(pane, name); }
    static const QLabel *labelShowing(QWidget &pane, const QString &text)
    {
        for (const QLabel *label : pane.findChildren<QLabel *>()) {
            if (label->isVisibleTo(&pane) && label->text() == text)
                return label;
        }
        return nullptr;
    }
};

TEST_F(SettingsPanesTest, GeneralAndNotchPanesStoreTheChoiceAndShowChangesMadeElsewhere)
{
    QWidget &general = select(SettingsPanes::general);
    QRadioButton *light
        = findNamed<SegmentedPicker>(general, u"Erscheinungsbild"_s)->findChildren<QRadioButton *>().at(1);
    light->click();
    EXPECT_EQ(prefs.stringValue(AppPreferences::appearance), u"light"_s);

    // Reflecting a change made elsewhere writes nothing back.
    ToggleSwitch *launch = toggle(general, u"Einstellungen beim Start anzeigen"_s);
    launch->click();
    EXPECT_FALSE(prefs.boolValue(AppPreferences::showSettingsOnLaunch));
    prefs.remove(AppPreferences::showSettingsOnLaunch);
    EXPECT_TRUE(launch->isChecked());
    EXPECT_FALSE(prefs.containsUserValue(AppPreferences::showSettingsOnLaunch));

    prefs.setValue(AppPreferences::screen, u"HDMI-1"_s); // not attached here
    auto *picker = findNamed<QComboBox>(select(SettingsPanes::notch), u"Bildschirm"_s);
    EXPECT_EQ(picker->currentText(), u"HDMI-1"_s) << "an absent chosen screen stays listed by its name";
    picker->setFocus();
    QTest::keyClick(picker, Qt::Key_Home);
    EXPECT_EQ(prefs.stringValue(AppPreferences::screen), u"primary"_s);

    // The shortcut: one combination typed is stored; the pane says what became of it, and where
    // the desktop gives none, which command to bind instead.
    QWidget &notch = *view().currentPane();
    auto *keys = findNamed<QKeySequenceEdit>(notch, u"Tastenkürzel"_s);
    keys->setFocus();
    QTest::keyClick(keys, Qt::Key_T, Qt::ControlModifier | Qt::AltModifier);
    Q_EMIT keys->editingFinished();
    EXPECT_EQ(prefs.stringValue(AppPreferences::globalShortcut), u"Ctrl+Alt+T"_s);
    shortcut.setKeys(keys->keySequence());
    shortcut.setAnswer(GlobalShortcut::State::Taken);
    EXPECT_TRUE(labelShowing(notch, u"Ein anderes Programm belegt dieses Tastenkürzel bereits."_s));
    shortcut.setAnswer(GlobalShortcut::State::Unsupported);
    EXPECT_FALSE(labelShowing(notch, u"Ein anderes Programm belegt dieses Tastenkürzel bereits."_s));
    EXPECT_TRUE(std::ranges::any_of(visibleTexts(notch), [](const QString &text) {
        return text.startsWith(u"Diese Arbeitsumgebung vergibt keine"_s) && text.endsWith(u": tarnlet --pin"_s);
    }));
    keys->clear();
    EXPECT_EQ(prefs.stringValue(AppPreferences::globalShortcut), QString());

    auto *offset = findNamed<QSpinBox>(notch, u"Abstand oben"_s);
    offset->setValue(30);
    EXPECT_EQ(prefs.doubleValue(AppPreferences::topOffset), 30.0);
}

TEST_F(SettingsPanesTest, ModulePanesFollowTheModuleAndTheRegistry)
{
    QWidget &pane = select(u"github.actions"_s);
    EXPECT_EQ(view().findChild<PaneHeader *>()->accessibleName(), u"GitHub Actions"_s);
    EXPECT_TRUE(visibleTexts(pane).contains(u"CI · main · erfolgreich"_s));
    EXPECT_TRUE(visibleTexts(pane).contains(u"GitHub Actions beschrieben."_s));

    // Switched off through the registry; the stopped module keeps showing its last status.
    actions->change(actions->status, ModuleStatus { u"CI · main · läuft"_s, ModuleStatus::Severity::Active });
    toggle(pane, u"Modul aktiv"_s)->click();
    EXPECT_TRUE(registry.disabledIDs().contains(u"github.actions"_s));
    settle();
    EXPECT_TRUE(visibleTexts(pane).contains(u"CI · main · läuft"_s));

    // A new pane reads the switch from the registry; a change there redraws it.
    select(u"github.pullRequests"_s);
    ToggleSwitch *active = toggle(select(u"github.actions"_s), u"Modul aktiv"_s);
    EXPECT_FALSE(active->isChecked());
    registry.setEnabled(true, u"github.actions"_s);
    settle();
    EXPECT_TRUE(active->isChecked());
    EXPECT_TRUE(visibleTexts(select(u"github.pullRequests"_s)).contains(u"Keine Daten"_s));
}

TEST_F(SettingsPanesTest, ModulePaneKeepsTheModulesListAndShowsItsLinesWithLinksAndCommands)
{
    const QString key = u"test.entries"_s;
    actions->list = ModuleListSetting { key, u"Einträge"_s, u"Eintrag hinzufügen"_s, 3,
        [](const QString &input) -> ModuleListSetting::Normalized {
            if (!input.contains(u'/'))
                return ModuleListSetting::Refusal { u"Bitte in der Form a/b."_s };
            return input.trimmed();
        } };
    const QString optionsKey = u"test.options"_s;
    actions->list->optionsKey = optionsKey;
    actions->list->options = { { u"muted"_s, u"Stumm"_s, ModuleListSetting::Option::Kind::Switch },
        { u"branches"_s, u"Branches"_s, ModuleListSetting::Option::Kind::Names } };
    // As a file may hold it: one entry of another type, one the module refuses, one repeat in other letters.
    prefs.setValue(key, QVariantList { u"a/one"_s, 5, u"nothing"_s, u"A/One"_s });
    // Names to suggest, known once the test says so; asked for only while the pane shows them.
    struct Suggestions final : ListSuggestions {
        QStringList known;
        bool shown = false;
        QStringList names() const override { return known; }
        void setShown(bool show) override { shown = show; }
    } recent;
    actions->list->suggestions = &recent;
    UrlSink sink;
    int presses = 0;
    const QUrl run(u"https://github.com/o/r/actions/runs/7"_s);
    actions->lines = {
        { u"o/r"_s, ModuleRow { u"Build & Test"_s, u"main"_s, {}, ModuleStatus::Severity::Fine, run }, {}, {} },
        { u"o/r"_s,
            ModuleRow { u"Lint"_s, u"main"_s, {}, ModuleStatus::Severity::Failing, QUrl(u"https://example.com/x"_s) },
            {}, {} },
        { u"other"_s, ModuleRow { u"web"_s, {}, {}, ModuleStatus::Severity::Fine, {} },
            { ModuleCommand { u"Stoppen"_s, u"web stoppen"_s, false, [&presses] { ++presses; } } }, u"<b>x</b>"_s },
    };
    actions->error = u"Kein GitHub-Token hinterlegt."_s;
    // The session's news of this module follows its lines, held-back news said as such.
    const QUrl failedRun(u"https://github.com/o/r/actions/runs/8"_s);
    history.record(ModuleEvent { u"github.actions"_s, u"<b>CI</b> fehlgeschlagen"_s, ModuleStatus::Severity::Failing,
                       u"github.runFailed"_s, failedRun },
        false);
    history.record(ModuleEvent { u"github.pullRequests"_s, u"Review angefragt: x"_s }, true);
    auto &pane = static_cast<ModuleSettingsPane &>(select(u"github.actions"_s));
    EXPECT_TRUE(visibleTexts(pane).contains(u"Kein GitHub-Token hinterlegt."_s));

    // Entries the module ignores are kept and shown as ignored; entries are added normalized, refused
    // with a reason (only used ones count toward the maximum), and removed, every other one untouched.
    EXPECT_EQ(visibleTexts(pane).count(u"wird ignoriert"_s), 3);
    EXPECT_TRUE(visibleTexts(pane).contains(u"5"_s) && visibleTexts(pane).contains(u"A/One"_s));
    const auto stored = [&] { return QJsonValue::fromVariant(prefs.value(key)); };
    QLineEdit &field = *findNamed<QLineEdit>(pane, u"Eintrag hinzufügen"_s);
    const auto add = [&](const QString &input, const QString &reason = {}) {
        field.setText(input);
        QTest::keyClick(&field, Qt::Key_Return);
        EXPECT_TRUE(reason.isEmpty() ? field.text().isEmpty() : visibleTexts(pane).contains(reason))
            << reason.toStdString();
    };
    add(u"  a/two "_s);
    add(u"nothing"_s, u"Bitte in der Form a/b."_s);
    add(u"A/ONE"_s, u"Steht schon in der Liste."_s);
    field.setText(u"a/three"_s);
    button(pane, u"Hinzufügen"_s)->click();
    add(u"a/four"_s, u"Mehr als 3 Einträge sind nicht möglich."_s);
    EXPECT_EQ(stored(), (QJsonArray { u"a/one"_s, 5, u"nothing"_s, u"A/One"_s, u"a/two"_s, u"a/three"_s }));
    // A used entry's options sit under it and are stored apart: the list stays one of names.
    settle();
    EXPECT_FALSE(findNamed(pane, u"5: Stumm"_s)) << "an ignored entry has none";
    toggle(pane, u"a/two: Stumm"_s)->click();
    QLineEdit &branches = *findNamed<QLineEdit>(pane, u"a/two: Branches"_s);
    branches.setText(u" main,, release/*"_s);
    QTest::keyClick(&branches, Qt::Key_Return);
    EXPECT_EQ(branches.text(), u"main, release/*"_s);
    EXPECT_EQ(QJsonValue::fromVariant(prefs.value(optionsKey)),
        (QJsonObject { { u"a/two"_s,
            QJsonObject { { u"muted"_s, true }, { u"branches"_s, QJsonArray { u"main"_s, u"release/*"_s } } } } }));
    button(pane, u"a/two entfernen"_s)->click();
    EXPECT_EQ(stored(), (QJsonArray { u"a/one"_s, 5, u"nothing"_s, u"A/One"_s, u"a/three"_s }));
    EXPECT_EQ(prefs.value(optionsKey).toMap(), QVariantMap()) << "its options go with it";
    EXPECT_FALSE(button(pane, u"a/two entfernen"_s));
    EXPECT_FALSE(visibleTexts(pane).contains(u"Mehr als 3 Einträge sind nicht möglich."_s));

    // With a token they are offered beside the field, those listed left out; a click adds one, and
    // a full list offers none.
    EXPECT_TRUE(recent.shown);
    recent.known = { u"o/new"_s, u"A/Three"_s, u"o/more"_s };
    Q_EMIT recent.changed();
    EXPECT_TRUE(button(pane, u"o/new hinzufügen"_s));
    EXPECT_FALSE(button(pane, u"A/Three hinzufügen"_s));
    button(pane, u"o/new hinzufügen"_s)->click();
    EXPECT_EQ(stored(), (QJsonArray { u"a/one"_s, 5, u"nothing"_s, u"A/One"_s, u"a/three"_s, u"o/new"_s }));
    EXPECT_FALSE(button(pane, u"o/more hinzufügen"_s));
    prefs.setValue(key, QStringList { u"x/<b>y</b>\u202E"_s });
    EXPECT_TRUE(button(pane, u"x/<b>y</b> entfernen"_s)) << "written elsewhere, the list shows at once, cleaned";

    // Text from outside shows as written: no markup, no mnemonic, nothing that reorders it.
    for (const QString &text : { u"x/<b>y</b>"_s, u"<b>x</b>"_s }) {
        const QLabel *label = labelShowing(pane, text);
        EXPECT_TRUE(label && label->textFormat() == Qt::PlainText) << text.toStdString();
    }

    const QList<DetailRow *> rows = pane.details()->rows();
    EXPECT_TRUE(QKeySequence::mnemonic(rows[0]->text()).isEmpty());
    QTest::mouseClick(rows[0], Qt::LeftButton);
    QTest::mouseClick(rows[1], Qt::LeftButton); // a page off github.com is no link
    ASSERT_EQ(rows.size(), 4);
    EXPECT_TRUE(visibleTexts(pane).contains(u"Verlauf"_s));
    EXPECT_TRUE(rows[3]->accessibleName().startsWith(u"<b>CI</b> fehlgeschlagen, "_s));
    EXPECT_TRUE(rows[3]->accessibleName().endsWith(u" \u00B7 nicht eingeblendet"_s));
    QTest::mouseClick(rows[3], Qt::LeftButton);
    EXPECT_EQ(sink.opened, (QList<QUrl> { run, failedRun }));
    QPushButton *stop = rows[2]->commandButton();
    stop->click();
    EXPECT_EQ(presses, 1);

    // Under way: the same button, dimmed; a press does nothing.
    QList<ModuleDetail> underWay = actions->lines;
    underWay[2].commands[0].underWay = true;
    actions->change(actions->lines, underWay);
    actions->change(actions->error, std::nullopt);
    settle();
    EXPECT_EQ(pane.details()->rows()[2]->commandButton(), stop);
    stop->click();
    EXPECT_EQ(presses, 1);
    EXPECT_FALSE(visibleTexts(pane).contains(u"Kein GitHub-Token hinterlegt."_s));

    // A line's open document: plain text under it, read-only, copied whole and read again.
    QList<ModuleDetail> withLog = underWay;
    withLog[2].document = ModuleDocument { u"Protokoll von web"_s, u"<b>1</b>\n2"_s, false, [&presses] { ++presses; } };
    actions->change(actions->lines, withLog);
    settle();
    ModuleDocumentView *log = pane.details()->document(2);
    ASSERT_TRUE(log);
    EXPECT_TRUE(log->textView()->isReadOnly());
    EXPECT_EQ(log->textView()->toPlainText(), u"<b>1</b>\n2"_s);
    button(pane, u"Protokoll von web kopieren"_s)->click();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), u"<b>1</b>\n2"_s);
    button(pane, u"Protokoll von web aktualisieren"_s)->click();
    EXPECT_EQ(presses, 2);
    history.record(ModuleEvent { u"github.actions"_s, u"CI wieder erfolgreich"_s }, true);
    settle();
    EXPECT_EQ(pane.details()->rows().size(), 5) << "news recorded later shows at once";

    // A line that needs the user's action opens the pane that resolves it, not its page.
    QList<ModuleDetail> needsToken = actions->lines;
    needsToken[1].row.pane = u"githubAccount"_s;
    actions->change(actions->lines, needsToken);
    settle();
    QTest::mouseClick(pane.details()->rows()[1], Qt::LeftButton);
    settle();
    EXPECT_EQ(view().selection(), u"githubAccount"_s);
    EXPECT_EQ(sink.opened.size(), 2);
}

TEST_F(SettingsPanesTest, DurationInTheUsersLocaleOnTheHalfSecondGridOnlyWhileEventsExpand)
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    QWidget &pane = select(SettingsPanes::notifications);
    prefs.setValue(AppPreferences::flashDuration, 1e9);
    EXPECT_EQ(pane.findChild<QLabel *>(u"durationLabel"_s)->text(), u"10.0 s"_s) << "held to the slider's range";
    prefs.setValue(AppPreferences::flashDuration, 7.0);
    EXPECT_EQ(pane.findChild<QLabel *>(u"durationLabel"_s)->text(), u"7.0 s"_s);
    EXPECT_EQ(SecondsSlider::format(0.25, 0.05), u"0.25"_s) << "the hover delay's grid needs hundredths";
    QLocale::setDefault(QLocale::system());

    SteppedSlider &slider = *pane.findChild<SteppedSlider *>();
    const auto stored = [this] { return prefs.doubleValue(AppPreferences::flashDuration); };
    slider.setFocus();
    const std::pair<Qt::Key, double> keys[]
        = { { Qt::Key_Right, 7.5 }, { Qt::Key_End, 10 }, { Qt::Key_Right, 10 }, { Qt::Key_Home, 1 } };
    for (const auto &[key, value] : keys) {
        QTest::keyClick(&slider, key);
        EXPECT_EQ(stored(), value) << key;
    }
    QTest::mouseClick(&slider, Qt::LeftButton, {}, QPoint(slider.width() - 2, slider.height() / 2));
    EXPECT_EQ(stored(), 10) << "the track's right end is the longest duration";
    QTest::mouseClick(&slider, Qt::LeftButton, {}, QPoint(slider.width() * 37 / 100, slider.height() / 2));
    EXPECT_TRUE(stored() > 2 && std::fmod(stored() * 2, 1.0) == 0) << "on the half-second grid";

    // Disabled while events do not expand; no key, click or accessible action changes the duration.
    const double before = stored();
    toggle(pane, u"Bei Ereignissen kurz aufklappen"_s)->click();
    QTest::keyClick(&slider, Qt::Key_Right);
    QTest::mouseClick(&slider, Qt::LeftButton, {}, QPoint(2, slider.height() / 2));
    QAccessible::queryAccessibleInterface(&slider)->actionInterface()->doAction(
        QAccessibleActionInterface::increaseAction());
    EXPECT_EQ(stored(), before);

    // Following the desktop's Do Not Disturb needs a desktop that tells it; a line says why not.
    ToggleSwitch *quiet = toggle(pane, u"Nicht stören des Systems folgen"_s);
    const QString why = u"Die Arbeitsumgebung meldet kein „Nicht stören“: Weder der Benachrichtigungsdienst noch "
                        u"GNOMEs Einstellungen geben es an."_s;
    EXPECT_TRUE(quiet->isChecked() && !quiet->isEnabled());
    EXPECT_TRUE(labelShowing(pane, why)) << visibleTexts(pane).join(u'|').toStdString();
    doNotDisturb.set(true, false);
    EXPECT_TRUE(quiet->isEnabled() && !labelShowing(pane, why));

    // One switch per kind of news the modules declare, in their order, each with its module's
    // default and stored as switched.
    ASSERT_TRUE(toggle(pane, u"Run fehlgeschlagen"_s) && toggle(pane, u"Run wieder erfolgreich"_s));
    EXPECT_TRUE(toggle(pane, u"Run fehlgeschlagen"_s)->isChecked());
    EXPECT_FALSE(toggle(pane, u"Run wieder erfolgreich"_s)->isChecked());
    toggle(pane, u"Run fehlgeschlagen"_s)->click();
    toggle(pane, u"Run wieder erfolgreich"_s)->click();
    EXPECT_FALSE(prefs.boolValue(u"notifications.interrupt.runFailed"_s));
    EXPECT_TRUE(prefs.boolValue(u"notifications.interrupt.runFixed"_s));
}

} // namespace

#include "settings/NotchSettingsPane.h"

#include "core/prefs/AppPreferences.h"
#include "settings/NotchPreview.h"
#include "settings/PaneLayout.h"
#include "settings/PreferenceBinding.h"
#include "settings/SecondsSlider.h"
#include "widgets/SettingsBlocks.h"
#include "widgets/ToggleSwitch.h"

#include "platform/GlobalShortcut.h"

#include <QComboBox>
#include <QGuiApplication>
#include <QKeySequenceEdit>
#include <QScreen>
#include <QSignalBlocker>
#include <QSpinBox>

#include <array>
#include <cmath>
#include <utility>

namespace {

// "HDMI-1 · 2560 × 1440": the output's name and its size in device pixels.
QString screenTitle(const QScreen &screen)
{
    const QSize size = screen.size() * screen.devicePixelRatio();
    return QStringLiteral(u"%1 \u00b7 %2 \u00d7 %3").arg(screen.name()).arg(size.width()).arg(size.height());
}

// The choices of "notch.screen": the primary screen, the pointer's, then every attached screen by
// name. A chosen screen that is absent stays listed by its name, so the choice remains visible.
void fillScreenChoices(QComboBox &picker, const QString &chosen)
{
    const QSignalBlocker blocker(picker);
    picker.clear();
    picker.addItem(NotchSettingsPane::tr("Hauptbildschirm"), AppPreferences::screenPrimary);
    picker.addItem(NotchSettingsPane::tr("Bildschirm mit dem Mauszeiger"), AppPreferences::screenWithPointer);
    const auto screens = QGuiApplication::screens();
    for (const QScreen *screen : screens)
        picker.addItem(screenTitle(*screen), screen->name());
    if (picker.findData(chosen) < 0)
        picker.addItem(chosen, chosen);
    picker.setCurrentIndex(picker.findData(chosen));
}

// What the pane says below the shortcut, and whether it is a fault: nothing while the shortcut
// works or none is chosen.
std::pair<QString, SettingsMessage::Tone> shortcutNote(GlobalShortcut::State state)
{
    using Tone = SettingsMessage::Tone;
    switch (state) {
    case GlobalShortcut::State::Waiting:
        return { NotchSettingsPane::tr("Wird bei der Arbeitsumgebung angemeldet …"), Tone::Note };
    case GlobalShortcut::State::Taken:
        return { NotchSettingsPane::tr("Ein anderes Programm belegt dieses Tastenkürzel bereits."), Tone::Warning };
    case GlobalShortcut::State::Refused:
        return { NotchSettingsPane::tr("Dieses Tastenkürzel lässt sich hier nicht belegen."), Tone::Warning };
    case GlobalShortcut::State::Unsupported:
        return { NotchSettingsPane::tr("Diese Arbeitsumgebung vergibt keine globalen Tastenkürzel an Programme. In "
                                       "ihren Tastatureinstellungen lässt sich stattdessen dieser Befehl auf ein "
                                       "Tastenkürzel legen: %1")
                     .arg(QString::fromLatin1(NotchSettingsPane::pinCommand)),
            Tone::Note };
    case GlobalShortcut::State::Unset:
    case GlobalShortcut::State::Active:
        break;
    }
    return {};
}

// The row of the shortcut and the line below it that tells what became of it.
void addShortcut(SettingsCard &card, PreferenceStore &preferences, const GlobalShortcut &shortcut)
{
    auto *edit = new QKeySequenceEdit;
    edit->setAccessibleName(NotchSettingsPane::tr("Tastenkürzel"));
    edit->setClearButtonEnabled(true);
    card.addWidget(new SettingsRow(NotchSettingsPane::tr("Tastenkürzel"), edit, &card));
    PreferenceBinding::watch(preferences, AppPreferences::globalShortcut, edit, [edit, &preferences] {
        const QSignalBlocker blocker(edit);
        edit->setKeySequence(QKeySequence::fromString(
            preferences.stringValue(AppPreferences::globalShortcut), QKeySequence::PortableText));
    });
    // One combination, kept once the user stops typing; emptied with the clear button.
    const auto store = [edit, &preferences] {
        const QKeySequence keys = edit->keySequence();
        const QKeySequence first = keys.isEmpty() ? QKeySequence() : QKeySequence(keys[0]);
        preferences.setValue(AppPreferences::globalShortcut, first.toString(QKeySequence::PortableText));
    };
    QObject::connect(edit, &QKeySequenceEdit::editingFinished, &preferences, store);
    QObject::connect(edit, &QKeySequenceEdit::keySequenceChanged, &preferences, [store](const QKeySequence &keys) {
        if (keys.isEmpty())
            store();
    });

    std::array<SettingsMessage *, 2> lines { new SettingsMessage(&card, SettingsMessage::Tone::Note),
        new SettingsMessage(&card, SettingsMessage::Tone::Warning) };
    for (SettingsMessage *line : lines) {
        line->setTextInteractionFlags(Qt::TextSelectableByMouse);
        card.addWidget(line);
    }
    const auto follow = [lines, &shortcut] {
        const auto [text, tone] = shortcutNote(shortcut.state());
        lines[0]->setMessage(tone == SettingsMessage::Tone::Note ? text : QString());
        lines[1]->setMessage(tone == SettingsMessage::Tone::Warning ? text : QString());
    };
    follow();
    QObject::connect(&shortcut, &GlobalShortcut::stateChanged, edit, follow);
}

// "Abstand oben": points kept free above the overlay, for a bar the work area does not show.
void addTopOffset(SettingsCard &card, PreferenceStore &preferences)
{
    auto *offset = new QSpinBox;
    offset->setAccessibleName(NotchSettingsPane::tr("Abstand oben"));
    offset->setRange(0, int(AppPreferences::maximumTopOffset));
    offset->setSuffix(NotchSettingsPane::tr(" pt"));
    card.addWidget(new SettingsRow(NotchSettingsPane::tr("Abstand oben"), offset, &card));
    PreferenceBinding::watch(preferences, AppPreferences::topOffset, offset, [offset, &preferences] {
        const QSignalBlocker blocker(offset);
        offset->setValue(int(std::lround(preferences.doubleValue(AppPreferences::topOffset))));
    });
    QObject::connect(offset, &QSpinBox::valueChanged, &preferences,
        [&preferences](int points) { preferences.setValue(AppPreferences::topOffset, double(points)); });
}

} // namespace

NotchSettingsPane::NotchSettingsPane(PreferenceStore &preferences, const GlobalShortcut &shortcut, QWidget *parent)
    : QWidget(parent)
{
    auto *layout = makePaneLayout(*this);
    layout->addWidget(new NotchPreview(this));

    auto *behaviour = new SettingsSection(tr("Verhalten"), this);
    SettingsCard *card = behaviour->card();
    PreferenceBinding::bind(*card->addToggleRow(tr("Bei Hover aufklappen")), preferences, AppPreferences::hoverOpens);
    auto *delay = new SecondsSlider(tr("Öffnen nach"), tr("Kurz"), tr("Lang"), AppPreferences::hoverDelayRange,
        preferences, AppPreferences::hoverDelay, card);
    card->addWidget(delay);
    PreferenceBinding::watch(preferences, AppPreferences::hoverOpens, delay,
        [delay, &preferences] { delay->setEnabled(preferences.boolValue(AppPreferences::hoverOpens)); });
    card->addWidget(new SettingsDivider(card));

    auto *screenPicker = new QComboBox;
    screenPicker->setAccessibleName(tr("Bildschirm"));
    screenPicker->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    card->addWidget(new SettingsRow(tr("Bildschirm"), screenPicker, card));
    const auto refill = [screenPicker, &preferences] {
        fillScreenChoices(*screenPicker, preferences.stringValue(AppPreferences::screen));
    };
    PreferenceBinding::watch(preferences, AppPreferences::screen, screenPicker, refill);
    connect(qGuiApp, &QGuiApplication::screenAdded, screenPicker, refill);
    connect(qGuiApp, &QGuiApplication::screenRemoved, screenPicker, refill);
    connect(screenPicker, &QComboBox::activated, &preferences, [screenPicker, &preferences](int index) {
        preferences.setValue(AppPreferences::screen, screenPicker->itemData(index).toString());
    });
    card->addWidget(new SettingsDivider(card));

    PreferenceBinding::bind(
        *card->addToggleRow(tr("Bei Vollbild ausblenden")), preferences, AppPreferences::hideBesideFullScreen);
    card->addWidget(new SettingsDivider(card));
    addTopOffset(*card, preferences);
    layout->addWidget(behaviour);

    auto *keys = new SettingsSection(tr("Tastenkürzel"), this);
    addShortcut(*keys->card(), preferences, shortcut);
    layout->addWidget(keys);
}

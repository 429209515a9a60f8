#include "settings/NotchSettingsPane.h"

#include "core/prefs/AppPreferences.h"
#include "settings/NotchPreview.h"
#include "settings/PaneLayout.h"
#include "settings/PreferenceBinding.h"
#include "settings/SecondsSlider.h"
#include "widgets/SettingsBlocks.h"
#include "widgets/ToggleSwitch.h"

#include <QComboBox>
#include <QGuiApplication>
#include <QScreen>
#include <QSignalBlocker>

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

} // namespace

NotchSettingsPane::NotchSettingsPane(PreferenceStore &preferences, QWidget *parent)
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
    layout->addWidget(behaviour);
}

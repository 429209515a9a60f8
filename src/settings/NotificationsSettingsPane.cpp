#include "settings/NotificationsSettingsPane.h"

#include "core/prefs/AppPreferences.h"
#include "settings/PaneLayout.h"
#include "settings/PreferenceBinding.h"
#include "settings/SecondsSlider.h"
#include "widgets/SettingsBlocks.h"
#include "widgets/ToggleSwitch.h"

NotificationsSettingsPane::NotificationsSettingsPane(PreferenceStore &preferences, QWidget *parent)
    : QWidget(parent)
{
    auto *layout = makePaneLayout(*this);
    auto *section = new SettingsSection(tr("Meldungen"), this);
    SettingsCard *card = section->card();

    PreferenceBinding::bind(
        *card->addToggleRow(tr("Bei Ereignissen kurz aufklappen")), preferences, AppPreferences::autoExpandOnEvents);
    card->addWidget(new SettingsDivider(card));

    auto *block = new SecondsSlider(tr("Anzeigedauer"), tr("Kurz"), tr("Lang"), { 1.0, 10.0, 0.5 }, preferences,
        AppPreferences::flashDuration, card);
    block->valueLabel()->setObjectName(QStringLiteral("durationLabel"));
    card->addWidget(block);

    PreferenceBinding::watch(preferences, AppPreferences::autoExpandOnEvents, block,
        [block, &preferences] { block->setEnabled(preferences.boolValue(AppPreferences::autoExpandOnEvents)); });
    layout->addWidget(section);
}

#include "settings/NotchSettingsPane.h"

#include "core/prefs/AppPreferences.h"
#include "settings/NotchPreview.h"
#include "settings/PaneLayout.h"
#include "settings/PreferenceBinding.h"
#include "settings/SettingsBlocks.h"
#include "settings/ToggleSwitch.h"

NotchSettingsPane::NotchSettingsPane(PreferenceStore &preferences, QWidget *parent)
    : QWidget(parent)
{
    auto *layout = makePaneLayout(*this);
    layout->addWidget(new NotchPreview(this));

    auto *behaviour = new SettingsSection(QStringLiteral("Verhalten"), this);
    PreferenceBinding::bind(*behaviour->card()->addToggleRow(QStringLiteral("Bei Hover aufklappen")), preferences,
        AppPreferences::hoverOpens);
    layout->addWidget(behaviour);
}

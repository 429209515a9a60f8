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

    const QString hoverTitle = QStringLiteral("Bei Hover aufklappen");
    auto *behaviour = new SettingsSection(QStringLiteral("Verhalten"), this);
    auto *hoverToggle = new ToggleSwitch(hoverTitle);
    PreferenceBinding::bind(*hoverToggle, preferences, AppPreferences::hoverOpens);
    behaviour->card()->addWidget(new SettingsRow(hoverTitle, hoverToggle, behaviour->card()));
    layout->addWidget(behaviour);
}

#include "settings/GeneralSettingsPane.h"

#include "core/prefs/AppPreferences.h"
#include "settings/PaneLayout.h"
#include "settings/PreferenceBinding.h"
#include "widgets/SegmentedPicker.h"
#include "widgets/SettingsBlocks.h"
#include "widgets/ToggleSwitch.h"

GeneralSettingsPane::GeneralSettingsPane(PreferenceStore &preferences, QWidget *parent)
    : QWidget(parent)
{
    auto *layout = makePaneLayout(*this);

    auto *appearance = new SettingsSection(tr("Darstellung"), this);
    auto *pickerBox = new QWidget(appearance->card());
    auto *pickerLayout = new QVBoxLayout(pickerBox);
    pickerLayout->setContentsMargins(16, 16, 16, 16);
    pickerLayout->setSpacing(12);
    auto *picker = new SegmentedPicker(tr("Erscheinungsbild"),
        { { tr("System"), QStringLiteral("system") }, { tr("Hell"), QStringLiteral("light") },
            { tr("Dunkel"), QStringLiteral("dark") } },
        pickerBox);
    PreferenceBinding::bind(*picker, preferences, AppPreferences::appearance);
    pickerLayout->addWidget(picker);
    appearance->card()->addWidget(pickerBox);
    layout->addWidget(appearance);

    auto *start = new SettingsSection(tr("Start"), this);
    PreferenceBinding::bind(*start->card()->addToggleRow(tr("Einstellungen beim Start anzeigen")),
        preferences, AppPreferences::showSettingsOnLaunch);
    layout->addWidget(start);
}

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

    auto *appearance = new SettingsSection(QStringLiteral("Darstellung"), this);
    auto *pickerBox = new QWidget(appearance->card());
    auto *pickerLayout = new QVBoxLayout(pickerBox);
    pickerLayout->setContentsMargins(16, 16, 16, 16);
    pickerLayout->setSpacing(12);
    auto *picker = new SegmentedPicker(QStringLiteral("Erscheinungsbild"),
        { { QStringLiteral("System"), QStringLiteral("system") }, { QStringLiteral("Hell"), QStringLiteral("light") },
            { QStringLiteral("Dunkel"), QStringLiteral("dark") } },
        pickerBox);
    PreferenceBinding::bind(*picker, preferences, AppPreferences::appearance);
    pickerLayout->addWidget(picker);
    appearance->card()->addWidget(pickerBox);
    layout->addWidget(appearance);

    auto *start = new SettingsSection(QStringLiteral("Start"), this);
    PreferenceBinding::bind(*start->card()->addToggleRow(QStringLiteral("Einstellungen beim Start anzeigen")),
        preferences, AppPreferences::showSettingsOnLaunch);
    layout->addWidget(start);
}

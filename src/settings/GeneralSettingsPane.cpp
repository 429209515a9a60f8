#include "settings/GeneralSettingsPane.h"

#include "core/AppLanguage.h"
#include "core/prefs/AppPreferences.h"
#include "settings/PaneLayout.h"
#include "settings/PreferenceBinding.h"
#include "widgets/SegmentedPicker.h"
#include "widgets/SettingsBlocks.h"
#include "widgets/SettingsStyle.h"
#include "widgets/ToggleSwitch.h"

#include <QLabel>

namespace {

// A picker alone in its section's card, bound to its preference; returns the box's layout.
QVBoxLayout *addPicker(SettingsSection &section, SegmentedPicker *picker, PreferenceStore &preferences,
    const QString &key)
{
    auto *pickerBox = new QWidget(section.card());
    auto *pickerLayout = new QVBoxLayout(pickerBox);
    pickerLayout->setContentsMargins(16, 16, 16, 16);
    pickerLayout->setSpacing(12);
    picker->setParent(pickerBox);
    PreferenceBinding::bind(*picker, preferences, key);
    pickerLayout->addWidget(picker);
    section.card()->addWidget(pickerBox);
    return pickerLayout;
}

} // namespace

GeneralSettingsPane::GeneralSettingsPane(PreferenceStore &preferences, QWidget *parent)
    : QWidget(parent)
{
    auto *layout = makePaneLayout(*this);

    auto *appearance = new SettingsSection(tr("Darstellung"), this);
    auto *picker = new SegmentedPicker(tr("Erscheinungsbild"),
        { { tr("System"), QStringLiteral("system") }, { tr("Hell"), QStringLiteral("light") },
            { tr("Dunkel"), QStringLiteral("dark") } });
    addPicker(*appearance, picker, preferences, AppPreferences::appearance);
    layout->addWidget(appearance);

    // Each language is named in its own words. The translation is installed once at start, so the
    // choice applies from the next one.
    auto *language = new SettingsSection(tr("Sprache"), this);
    auto *languagePicker = new SegmentedPicker(tr("Sprache"),
        { { tr("System"), AppPreferences::languageSystem }, { tr("Deutsch"), AppLanguage::german },
            { tr("English"), AppLanguage::english } });
    auto *caption = new QLabel(tr("Gilt ab dem nächsten Start."));
    SettingsStyle::setFont(*caption, 13);
    SettingsStyle::makeSecondary(*caption);
    languagePicker->setAccessibleDescription(caption->text());
    addPicker(*language, languagePicker, preferences, AppPreferences::language)->addWidget(caption);
    layout->addWidget(language);

    auto *start = new SettingsSection(tr("Start"), this);
    PreferenceBinding::bind(*start->card()->addToggleRow(tr("Einstellungen beim Start anzeigen")),
        preferences, AppPreferences::showSettingsOnLaunch);
    layout->addWidget(start);
}

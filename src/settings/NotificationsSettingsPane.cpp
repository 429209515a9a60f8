#include "settings/NotificationsSettingsPane.h"

#include "core/prefs/AppPreferences.h"
#include "settings/PaneLayout.h"
#include "settings/PreferenceBinding.h"
#include "widgets/SettingsBlocks.h"
#include "widgets/SettingsStyle.h"
#include "widgets/SteppedSlider.h"
#include "widgets/ToggleSwitch.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>

namespace {

// A line with one text at each end and flexible space between.
QHBoxLayout *endsLine(QLabel *leading, QLabel *trailing)
{
    auto *line = new QHBoxLayout;
    line->setSpacing(12);
    line->addWidget(leading);
    line->addStretch(1);
    line->addWidget(trailing);
    return line;
}

} // namespace

QString NotificationsSettingsPane::formatSeconds(double seconds)
{
    return QLocale().toString(seconds, 'f', 1);
}

NotificationsSettingsPane::NotificationsSettingsPane(PreferenceStore &preferences, QWidget *parent)
    : QWidget(parent)
{
    auto *layout = makePaneLayout(*this);
    auto *section = new SettingsSection(tr("Meldungen"), this);
    SettingsCard *card = section->card();

    PreferenceBinding::bind(*card->addToggleRow(tr("Bei Ereignissen kurz aufklappen")), preferences,
        AppPreferences::autoExpandOnEvents);
    card->addWidget(new SettingsDivider(card));

    auto *block = new QWidget(card);
    block->setObjectName(QStringLiteral("durationBlock"));
    auto *blockLayout = new QVBoxLayout(block);
    blockLayout->setContentsMargins(16, 16, 16, 16);
    blockLayout->setSpacing(10);

    auto *title = new QLabel(tr("Anzeigedauer"), block);
    SettingsStyle::setFont(*title, 15);
    auto *duration = new QLabel(block);
    duration->setObjectName(QStringLiteral("durationLabel"));
    // Most desktop fonts draw digits at one width already, so the label does not jitter.
    SettingsStyle::setFont(*duration, 15, QFont::DemiBold);
    duration->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    blockLayout->addLayout(endsLine(title, duration));

    auto *slider = new SteppedSlider(1.0, 10.0, 0.5, block);
    slider->setAccessibleName(tr("Anzeigedauer"));
    slider->setValueText([](double seconds) { return tr("%1 Sekunden").arg(formatSeconds(seconds)); });
    PreferenceBinding::bind(*slider, preferences, AppPreferences::flashDuration);
    blockLayout->addWidget(slider);

    auto *shortLabel = new QLabel(tr("Kurz"), block);
    auto *longLabel = new QLabel(tr("Lang"), block);
    for (QLabel *label : { shortLabel, longLabel }) {
        SettingsStyle::setFont(*label, 12);
        SettingsStyle::makeSecondary(*label);
    }
    blockLayout->addLayout(endsLine(shortLabel, longLabel));
    card->addWidget(block);

    PreferenceBinding::watch(preferences, AppPreferences::flashDuration, duration, [duration, &preferences] {
        duration->setText(tr("%1 s").arg(formatSeconds(preferences.doubleValue(AppPreferences::flashDuration))));
    });
    PreferenceBinding::watch(preferences, AppPreferences::autoExpandOnEvents, block,
        [block, &preferences] { block->setEnabled(preferences.boolValue(AppPreferences::autoExpandOnEvents)); });
    layout->addWidget(section);
}

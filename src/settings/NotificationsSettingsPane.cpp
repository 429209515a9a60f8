#include "settings/NotificationsSettingsPane.h"

#include "core/ModuleRegistry.h"
#include "core/prefs/AppPreferences.h"
#include "platform/DesktopNotifier.h"
#include "settings/PaneLayout.h"
#include "settings/PreferenceBinding.h"
#include "settings/SecondsSlider.h"
#include "widgets/SettingsBlocks.h"
#include "widgets/SettingsStyle.h"
#include "widgets/ToggleSwitch.h"

#include <utility>

NotificationsSettingsPane::NotificationsSettingsPane(
    PreferenceStore &preferences, const ModuleRegistry &registry, const DesktopNotifier &notifier, QWidget *parent)
    : QWidget(parent)
{
    auto *layout = makePaneLayout(*this);
    auto *section = new SettingsSection(tr("Meldungen"), this);
    SettingsCard *card = section->card();

    PreferenceBinding::bind(
        *card->addToggleRow(tr("Bei Ereignissen kurz aufklappen")), preferences, AppPreferences::autoExpandOnEvents);
    card->addWidget(new SettingsDivider(card));

    auto *block = new SecondsSlider(tr("Anzeigedauer"), tr("Kurz"), tr("Lang"), AppPreferences::flashDurationRange,
        preferences, AppPreferences::flashDuration, card);
    block->valueLabel()->setObjectName(QStringLiteral("durationLabel"));
    card->addWidget(block);

    PreferenceBinding::watch(preferences, AppPreferences::autoExpandOnEvents, block,
        [block, &preferences] { block->setEnabled(preferences.boolValue(AppPreferences::autoExpandOnEvents)); });
    card->addWidget(new SettingsDivider(card));

    // Usable only while a notification service is there; it may come later, or go.
    ToggleSwitch *desktop = card->addToggleRow(tr("Auch als Systembenachrichtigung"));
    PreferenceBinding::bind(*desktop, preferences, AppPreferences::desktopNotifications);
    auto *missing = new QLabel(tr("Kein Benachrichtigungsdienst auf dem Sitzungsbus."), card);
    missing->setContentsMargins(16, 0, 16, 10);
    SettingsStyle::setFont(*missing, 13);
    SettingsStyle::makeSecondary(*missing);
    card->addWidget(missing);
    const auto followService = [desktop, missing](bool available) {
        desktop->setEnabled(available);
        desktop->setAccessibleDescription(available ? QString() : missing->text());
        missing->setVisible(!available);
    };
    followService(notifier.isAvailable());
    connect(&notifier, &DesktopNotifier::availabilityChanged, this, followService);
    layout->addWidget(section);

    // Which kinds of news may open the overlay or notify; news of a kind switched off is still
    // recorded.
    auto *kinds = new SettingsSection(tr("Melden bei"), this);
    for (bool first = true; const ModuleNewsKind &kind : registry.newsKinds()) {
        if (!std::exchange(first, false))
            kinds->card()->addWidget(new SettingsDivider(kinds->card()));
        PreferenceBinding::bind(
            *kinds->card()->addToggleRow(kind.label), preferences, AppPreferences::interruptKey(kind.id));
    }
    layout->addWidget(kinds);
}

#include "settings/NotificationsSettingsPane.h"

#include "core/ModuleRegistry.h"
#include "core/prefs/AppPreferences.h"
#include "platform/DesktopNotifier.h"
#include "platform/DoNotDisturb.h"
#include "settings/PaneLayout.h"
#include "settings/PreferenceBinding.h"
#include "settings/SecondsSlider.h"
#include "widgets/SettingsBlocks.h"
#include "widgets/ToggleSwitch.h"

#include <utility>

namespace {

// A grey line below a switch, for when the switch cannot work; hidden until then.
SettingsMessage *note(SettingsCard &card, const QString &text)
{
    auto *line = new SettingsMessage(&card, SettingsMessage::Tone::Note);
    line->setText(text);
    card.addWidget(line);
    return line;
}

// A switch usable only while what it acts on is there; the line below says why not otherwise.
void followAvailability(ToggleSwitch &toggle, SettingsMessage &why, bool available)
{
    toggle.setEnabled(available);
    toggle.setAccessibleDescription(available ? QString() : why.text());
    why.setVisible(!available);
}

} // namespace

NotificationsSettingsPane::NotificationsSettingsPane(PreferenceStore &preferences, const ModuleRegistry &registry,
    const DesktopNotifier &notifier, const DoNotDisturb &doNotDisturb, QWidget *parent)
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
    const auto followService
        = [desktop, missing = note(*card, tr("Kein Benachrichtigungsdienst auf dem Sitzungsbus."))](
              bool available) { followAvailability(*desktop, *missing, available); };
    followService(notifier.isAvailable());
    connect(&notifier, &DesktopNotifier::availabilityChanged, this, followService);
    card->addWidget(new SettingsDivider(card));

    // Usable only where the desktop tells its Do Not Disturb; it follows the desktop's sources.
    ToggleSwitch *quiet = card->addToggleRow(tr("Nicht stören des Systems folgen"));
    PreferenceBinding::bind(*quiet, preferences, AppPreferences::followDoNotDisturb);
    const auto followQuiet = [quiet, &doNotDisturb,
                                 unknown = note(*card,
                                     tr("Die Arbeitsumgebung meldet kein „Nicht stören“: Weder der "
                                        "Benachrichtigungsdienst noch GNOMEs Einstellungen geben es an."))] {
        followAvailability(*quiet, *unknown, doNotDisturb.isKnown());
    };
    followQuiet();
    connect(&doNotDisturb, &DoNotDisturb::changed, this, followQuiet);
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

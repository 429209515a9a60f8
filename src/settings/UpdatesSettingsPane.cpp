#include "settings/UpdatesSettingsPane.h"

#include "settings/PaneLayout.h"
#include "updates/UpdateController.h"
#include "widgets/SettingsBlocks.h"
#include "widgets/ToggleSwitch.h"

#include <QHBoxLayout>
#include <QPushButton>

UpdatesSettingsPane::UpdatesSettingsPane(UpdateController &updates, QWidget *parent)
    : QWidget(parent)
    , m_updates(updates)
    , m_checkButton(new QPushButton(tr("Jetzt nach Updates suchen")))
{
    auto *layout = makePaneLayout(*this);
    auto *section = new SettingsSection(tr("Updates"), this);
    SettingsCard *card = section->card();

    ToggleSwitch *autoToggle = card->addToggleRow(tr("Automatisch nach Updates suchen"));
    // The switch holds the pane's own copy of the setting, read afresh each time the pane is made.
    autoToggle->setChecked(m_updates.automaticallyChecksForUpdates());
    connect(
        autoToggle, &ToggleSwitch::toggled, this, [this](bool on) { m_updates.setAutomaticallyChecksForUpdates(on); });
    card->addWidget(new SettingsDivider(card));

    auto *buttonLine = new QWidget(card);
    buttonLine->setMinimumHeight(44);
    auto *buttonLayout = new QHBoxLayout(buttonLine);
    buttonLayout->setContentsMargins(16, 0, 16, 0);
    buttonLayout->addWidget(m_checkButton, 0, Qt::AlignVCenter);
    buttonLayout->addStretch(1);
    card->addWidget(buttonLine);

    m_checkButton->setEnabled(m_updates.canCheckForUpdates());
    connect(m_checkButton, &QPushButton::clicked, this, [this] { m_updates.checkForUpdates(nullptr); });
    connect(&m_updates, &UpdateController::canCheckForUpdatesChanged, this,
        [this] { m_checkButton->setEnabled(m_updates.canCheckForUpdates()); });
    layout->addWidget(section);
}

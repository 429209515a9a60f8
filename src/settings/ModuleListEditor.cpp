#include "settings/ModuleListEditor.h"

#include "core/PlainText.h"
#include "core/prefs/PreferenceStore.h"
#include "settings/PreferenceBinding.h"
#include "widgets/SettingsBlocks.h"
#include "widgets/SettingsStyle.h"

#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>

ModuleListEditor::ModuleListEditor(PreferenceStore &preferences, ModuleListSetting setting, QWidget *parent)
    : QWidget(parent)
    , m_preferences(preferences)
    , m_setting(std::move(setting))
    , m_entries(new QWidget)
    , m_entriesLayout(new QVBoxLayout(m_entries))
    , m_input(new QLineEdit)
    , m_refusal(new SettingsMessage)
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    auto *section = new SettingsSection(m_setting.heading, this);
    layout->addWidget(section);
    SettingsCard *card = section->card();

    m_entriesLayout->setContentsMargins(0, 0, 0, 0);
    m_entriesLayout->setSpacing(0);
    card->addWidget(m_entries);

    auto *inputLine = new QWidget(card);
    auto *inputLayout = new QHBoxLayout(inputLine);
    inputLayout->setContentsMargins(16, 10, 16, 10);
    inputLayout->setSpacing(12);
    m_input->setAccessibleName(m_setting.inputAccessibleName);
    m_input->setPlaceholderText(m_setting.inputAccessibleName);
    SettingsStyle::setFont(*m_input, 14);
    auto *addButton = new QPushButton(tr("Hinzufügen"), inputLine);
    inputLayout->addWidget(m_input, 1);
    inputLayout->addWidget(addButton);
    card->addWidget(inputLine);
    card->addWidget(m_refusal);

    connect(addButton, &QPushButton::clicked, this, &ModuleListEditor::add);
    connect(m_input, &QLineEdit::returnPressed, this, &ModuleListEditor::add);
    // A reason given for the last input goes once the user changes it.
    connect(m_input, &QLineEdit::textEdited, m_refusal, [this] { m_refusal->setMessage({}); });
    PreferenceBinding::watch(m_preferences, m_setting.preferenceKey, this, [this] { showEntries(); });
}

QStringList ModuleListEditor::entries() const
{
    return m_preferences.stringListValue(m_setting.preferenceKey).value_or(QStringList());
}

void ModuleListEditor::add()
{
    const ModuleListSetting::Normalized normalized = m_setting.normalize(m_input->text());
    if (const auto *refusal = std::get_if<ModuleListSetting::Refusal>(&normalized)) {
        m_refusal->setMessage(refusal->reason);
        return;
    }
    const QString &entry = std::get<QString>(normalized);
    QStringList list = entries();
    // Names that differ only in case mean the same thing to GitHub and to most lists like it.
    if (list.contains(entry, Qt::CaseInsensitive)) {
        m_refusal->setMessage(tr("Steht schon in der Liste."));
        return;
    }
    if (m_setting.maximumCount > 0 && list.size() >= m_setting.maximumCount) {
        m_refusal->setMessage(tr("Mehr als %n Einträge sind nicht möglich.", nullptr, m_setting.maximumCount));
        return;
    }
    list.append(entry);
    m_refusal->setMessage({});
    m_input->clear();
    m_preferences.setValue(m_setting.preferenceKey, list);
}

void ModuleListEditor::remove(const QString &entry)
{
    QStringList list = entries();
    if (list.removeAll(entry) == 0)
        return;
    // The pressed button goes with its row: the field keeps the keyboard in the list.
    m_input->setFocus();
    m_preferences.setValue(m_setting.preferenceKey, list);
}

void ModuleListEditor::showEntries()
{
    // A reason given for the list as it was no longer holds.
    m_refusal->setMessage({});
    while (QLayoutItem *item = m_entriesLayout->takeAt(0)) {
        // Later, not now: the row's own button may be the one whose press led here.
        item->widget()->deleteLater();
        item->widget()->hide();
        delete item;
    }
    for (const QString &entry : entries()) {
        // Read from the preferences file: shown cleaned, as plain text (SettingsRow).
        const QString shown = PlainText::clean(entry);
        auto *removeButton = new QPushButton(tr("Entfernen"));
        removeButton->setAccessibleName(tr("%1 entfernen").arg(shown));
        connect(removeButton, &QPushButton::clicked, this, [this, entry] { remove(entry); });
        auto *row = new SettingsRow(shown, removeButton, m_entries);
        // An entry can be selected and copied, as any name shown for reference.
        row->titleLabel()->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
        m_entriesLayout->addWidget(row);
        m_entriesLayout->addWidget(new SettingsDivider(m_entries));
    }
}

#include "settings/ModuleListEditor.h"

#include "core/PlainText.h"
#include "core/prefs/PreferenceStore.h"
#include "settings/ModuleEntryOptions.h"
#include "settings/PreferenceBinding.h"
#include "widgets/SettingsBlocks.h"
#include "widgets/SettingsStyle.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <algorithm>

namespace {

using Entries = QList<ModuleListSetting::Entry>;

// Whether `name` is in use in the list already, in any letter case.
bool isListed(const Entries &list, const QString &name)
{
    return std::any_of(list.cbegin(), list.cend(),
        [&](const auto &entry) { return entry.used && entry.text.compare(name, Qt::CaseInsensitive) == 0; });
}

bool isFull(const Entries &list, int maximumCount)
{
    const auto used = std::count_if(list.cbegin(), list.cend(), [](const auto &entry) { return entry.used; });
    return maximumCount > 0 && used >= maximumCount;
}

} // namespace

ModuleListEditor::ModuleListEditor(PreferenceStore &preferences, ModuleListSetting setting, QWidget *parent)
    : QWidget(parent)
    , m_preferences(preferences)
    , m_setting(std::move(setting))
    , m_entries(new QWidget)
    , m_entriesLayout(new QVBoxLayout(m_entries))
    , m_input(new QLineEdit)
    , m_refusal(new SettingsMessage)
    , m_suggested(new QWidget)
    , m_suggestedLayout(new QGridLayout)
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
    auto *suggestedLayout = new QVBoxLayout(m_suggested);
    suggestedLayout->setContentsMargins(16, 0, 16, 10);
    auto *suggestedTitle = new QLabel(tr("Zuletzt gepusht in deinem Konto"), m_suggested);
    SettingsStyle::setFont(*suggestedTitle, 12);
    SettingsStyle::makeSecondary(*suggestedTitle);
    suggestedLayout->addWidget(suggestedTitle);
    suggestedLayout->addLayout(m_suggestedLayout);
    card->addWidget(m_suggested);
    m_suggested->hide();

    connect(addButton, &QPushButton::clicked, this, &ModuleListEditor::add);
    connect(m_input, &QLineEdit::returnPressed, this, &ModuleListEditor::add);
    // A reason given for the last input goes once the user changes it.
    connect(m_input, &QLineEdit::textEdited, m_refusal, [this] { m_refusal->setMessage({}); });
    PreferenceBinding::watch(m_preferences, m_setting.preferenceKey, this, [this] {
        showEntries();
        showSuggestions();
    });
    if (m_setting.suggestions)
        connect(m_setting.suggestions, &ListSuggestions::changed, this, &ModuleListEditor::showSuggestions);
}

ModuleListEditor::~ModuleListEditor()
{
    if (m_setting.suggestions)
        m_setting.suggestions->setShown(false);
}

void ModuleListEditor::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (m_setting.suggestions)
        m_setting.suggestions->setShown(true);
}

void ModuleListEditor::hideEvent(QHideEvent *event)
{
    QWidget::hideEvent(event);
    if (m_setting.suggestions)
        m_setting.suggestions->setShown(false);
}

QList<ModuleListSetting::Entry> ModuleListEditor::entries() const
{
    return m_setting.entries(m_preferences);
}

void ModuleListEditor::write(const QList<ModuleListSetting::Entry> &entries, const QVariantList &added)
{
    QVariantList stored;
    for (const ModuleListSetting::Entry &entry : entries)
        stored.append(entry.stored);
    m_preferences.setValue(m_setting.preferenceKey, stored + added);
}

void ModuleListEditor::add()
{
    if (const std::optional<QString> refusal = addEntry(m_input->text())) {
        m_refusal->setMessage(*refusal);
        return;
    }
    m_input->clear();
}

std::optional<QString> ModuleListEditor::addEntry(const QString &input)
{
    const ModuleListSetting::Normalized normalized = m_setting.normalize(input);
    if (const auto *refusal = std::get_if<ModuleListSetting::Refusal>(&normalized))
        return refusal->reason;
    const QString &name = std::get<QString>(normalized);
    const QList<ModuleListSetting::Entry> list = entries();
    if (isListed(list, name))
        return tr("Steht schon in der Liste.");
    if (isFull(list, m_setting.maximumCount))
        return tr("Mehr als %n Einträge sind nicht möglich.", nullptr, m_setting.maximumCount);
    m_refusal->setMessage({});
    write(list, { name });
    return std::nullopt;
}

void ModuleListEditor::showSuggestions()
{
    while (QLayoutItem *item = m_suggestedLayout->takeAt(0)) {
        // Later, not now: the pressed suggestion may be what led here.
        item->widget()->hide();
        item->widget()->deleteLater();
        delete item;
    }
    const QList<ModuleListSetting::Entry> list = entries();
    QStringList offered;
    const bool full = isFull(list, m_setting.maximumCount);
    for (const QString &name : m_setting.suggestions && !full ? m_setting.suggestions->names() : QStringList()) {
        if (!isListed(list, name))
            offered.append(name);
    }
    for (qsizetype index = 0; index < offered.size(); ++index) {
        const QString &name = offered[index];
        // A name from outside: plain text, never a mnemonic.
        auto *button = new QPushButton(PlainText::buttonText(name), m_suggested);
        button->setAccessibleName(tr("%1 hinzufügen").arg(name));
        connect(button, &QPushButton::clicked, this, [this, name] {
            if (const std::optional<QString> refusal = addEntry(name))
                m_refusal->setMessage(*refusal);
        });
        m_suggestedLayout->addWidget(button, int(index / 2), int(index % 2));
    }
    m_suggested->setVisible(!offered.isEmpty());
}

void ModuleListEditor::remove(qsizetype index, const QVariant &stored)
{
    QList<ModuleListSetting::Entry> list = entries();
    // The row stands for the list as it was shown; an entry since changed elsewhere is left alone.
    if (index >= list.size() || list[index].stored != stored)
        return;
    const ModuleListSetting::Entry removed = list.takeAt(index);
    // The pressed button goes with its row: the field keeps the keyboard in the list.
    m_input->setFocus();
    write(list);
    // Added again later, the entry starts without the options it had; a repeat that now takes its
    // place keeps them.
    const QList<ModuleListSetting::Entry> now = entries();
    const bool stillUsed = std::any_of(now.cbegin(), now.cend(),
        [&](const auto &entry) { return entry.used && entry.text.compare(removed.text, Qt::CaseInsensitive) == 0; });
    if (removed.used && !stillUsed)
        m_setting.dropOptions(m_preferences, removed.text);
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
    const QList<ModuleListSetting::Entry> list = entries();
    for (qsizetype index = 0; index < list.size(); ++index) {
        const ModuleListSetting::Entry &entry = list[index];
        // Read from the preferences file (cleaned as read): shown as plain text (SettingsRow).
        const QString &shown = entry.text;
        auto *trailing = new QWidget;
        auto *trailingLayout = new QHBoxLayout(trailing);
        trailingLayout->setContentsMargins(0, 0, 0, 0);
        trailingLayout->setSpacing(12);
        auto *removeButton = new QPushButton(tr("Entfernen"), trailing);
        removeButton->setAccessibleName(tr("%1 entfernen").arg(shown));
        connect(
            removeButton, &QPushButton::clicked, this, [this, index, stored = entry.stored] { remove(index, stored); });
        auto *row = new SettingsRow(shown, trailing, m_entries);
        if (!entry.used) {
            // Kept as it is stored, but the module does not use it (not a name, a repeat, too many).
            auto *note = new QLabel(tr("wird ignoriert"), trailing);
            SettingsStyle::setFont(*note, 13);
            SettingsStyle::makeSecondary(*note);
            SettingsStyle::makeSecondary(*row->titleLabel());
            trailingLayout->addWidget(note);
        }
        trailingLayout->addWidget(removeButton);
        // An entry can be selected and copied, as any name shown for reference.
        row->titleLabel()->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
        m_entriesLayout->addWidget(row);
        if (entry.used && !m_setting.options.isEmpty())
            m_entriesLayout->addWidget(new ModuleEntryOptions(m_preferences, m_setting, entry.text, m_entries));
        m_entriesLayout->addWidget(new SettingsDivider(m_entries));
    }
}

#pragma once

#include "core/ModuleListSetting.h"

#include <QWidget>

#include <optional>

class PreferenceStore;
class QGridLayout;
class QLineEdit;
class QVBoxLayout;
class SettingsMessage;

// The list a module lets the user keep (the watched repositories), under the heading the module
// names: one row per stored entry, as the module reads it (ModuleListSetting::entries), with a
// button that removes it (and its options), a used entry's options under it (ModuleEntryOptions),
// and below a field whose input is added with "Hinzufügen" or Return. Entries the module ignores
// are kept, greyed with a note. The module's normalize() decides what an entry may be; a duplicate
// (in any letter case) or a used entry beyond the maximum is refused here too, and a refusal is
// told under the field with nothing stored. Each change is written to the preference at once,
// every other entry untouched; a change made elsewhere shows at once. Where the module suggests
// names, those not in the list yet are offered under the field as buttons that add one each,
// while the list has room.
class ModuleListEditor final : public QWidget {
    Q_OBJECT
public:
    ModuleListEditor(PreferenceStore &preferences, ModuleListSetting setting, QWidget *parent = nullptr);
    ~ModuleListEditor() override;

    QLineEdit *input() const { return m_input; }

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    QList<ModuleListSetting::Entry> entries() const;
    void write(const QList<ModuleListSetting::Entry> &entries, const QVariantList &added = {});
    void add();
    // Adds `input` as the module normalizes it; the reason when it is refused.
    std::optional<QString> addEntry(const QString &input);
    void showSuggestions();
    void remove(qsizetype index, const QVariant &stored);
    void showEntries();

    PreferenceStore &m_preferences;
    ModuleListSetting m_setting;
    QWidget *m_entries;
    QVBoxLayout *m_entriesLayout;
    QLineEdit *m_input;
    SettingsMessage *m_refusal;
    QWidget *m_suggested;
    QGridLayout *m_suggestedLayout;
};

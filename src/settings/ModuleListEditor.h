#pragma once

#include "core/ModuleListSetting.h"

#include <QWidget>

class PreferenceStore;
class QLineEdit;
class QVBoxLayout;
class SettingsMessage;

// The list a module lets the user keep (the watched repositories), under the heading the module
// names: one row per entry with a button that removes it, and below a field whose input is added
// with "Hinzufügen" or Return. The module's normalize() decides what an entry may be; a
// duplicate or an entry beyond the maximum is refused here too, and a refusal is told under the
// field with nothing stored. Each change is written to the preference at once; a change made
// elsewhere shows at once.
class ModuleListEditor final : public QWidget {
    Q_OBJECT
public:
    ModuleListEditor(PreferenceStore &preferences, ModuleListSetting setting, QWidget *parent = nullptr);

    QLineEdit *input() const { return m_input; }

private:
    QStringList entries() const;
    void add();
    void remove(const QString &entry);
    void showEntries();

    PreferenceStore &m_preferences;
    ModuleListSetting m_setting;
    QWidget *m_entries;
    QVBoxLayout *m_entriesLayout;
    QLineEdit *m_input;
    SettingsMessage *m_refusal;
};

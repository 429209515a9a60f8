#pragma once

#include "core/ModuleListSetting.h"

#include <QWidget>

class PreferenceStore;

// The options of one entry of a module's list, on a line under it (ModuleListEditor): a switch
// per switch option, a field per text or names option, each named "<entry>: <label>" for screen
// readers. A switch writes at once, a field when it is left or Return is pressed, and only what
// changed; the controls follow a change made elsewhere, except a field being edited.
class ModuleEntryOptions final : public QWidget {
    Q_OBJECT
public:
    ModuleEntryOptions(
        PreferenceStore &preferences, ModuleListSetting setting, QString entry, QWidget *parent = nullptr);

private:
    void show(const QVariantMap &stored);
    void write(const ModuleListSetting::Option &option, const QVariant &value);

    PreferenceStore &m_preferences;
    const ModuleListSetting m_setting;
    const QString m_entry;
    QList<QWidget *> m_controls; // one per option, in its order
};

#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>

class ModuleDetailList;
class ModuleRegistry;
class PreferenceStore;
class QLabel;
class QVBoxLayout;
class SettingsMessage;
class ToggleSwitch;

// A module's pane, read from the module alone: its on/off switch (through the registry), its
// current one-line status and what keeps it from working, a note, the list the module lets the
// user keep (where it has one) and the lines it lists (runs, containers) grouped under their
// headings. Shows "Modul nicht verfügbar." while no module with the id is registered. Redrawn
// when the registry or the module announce a change.
class ModuleSettingsPane final : public QWidget {
    Q_OBJECT
public:
    ModuleSettingsPane(ModuleRegistry &registry, PreferenceStore &preferences, const QString &moduleID,
        const QString &note, QWidget *parent = nullptr);

    ModuleDetailList *details() const { return m_details; }

private:
    // Reads the module again; the registry and the module announce each change after making it.
    void refresh();

    ModuleRegistry &m_registry;
    PreferenceStore &m_preferences;
    QString m_moduleID;
    QWidget *m_content;
    QVBoxLayout *m_contentLayout;
    QVBoxLayout *m_partsLayout;
    QLabel *m_missing;
    ToggleSwitch *m_toggle = nullptr;
    QLabel *m_status;
    SettingsMessage *m_error;
    ModuleDetailList *m_details;
    QPointer<QObject> m_watchedModule;
};

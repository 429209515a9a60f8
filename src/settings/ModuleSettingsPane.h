#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>

#include <optional>

class ModuleRegistry;
class QLabel;
class ToggleSwitch;

// A module's pane: its on/off switch (through the registry), its current one-line status, the
// watched repository where it has one, and a note. Shows "Modul nicht verfügbar." while no
// module with the id is registered. Redrawn when the registry or the module announce a change.
class ModuleSettingsPane final : public QWidget {
    Q_OBJECT
public:
    ModuleSettingsPane(ModuleRegistry &registry, const QString &moduleID, const QString &note,
        const std::optional<QString> &repo, QWidget *parent = nullptr);

private:
    // Both the registry and the modules announce a change before they make it, so the pane
    // reads them once the current work is done; several notices in a row redraw once.
    void refreshLater();
    void refresh();

    ModuleRegistry &m_registry;
    QString m_moduleID;
    QWidget *m_content;
    QLabel *m_missing;
    ToggleSwitch *m_toggle = nullptr;
    QLabel *m_status;
    QPointer<QObject> m_watchedModule;
    bool m_refreshQueued = false;
};

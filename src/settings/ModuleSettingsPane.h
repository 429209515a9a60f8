#pragma once

#include <QString>
#include <QWidget>

class DevModule;
class LinkGate;
class ModuleDetailList;
class ModuleRegistry;
class NewsHistory;
class PreferenceStore;
class QLabel;
class SettingsMessage;
class ToggleSwitch;

// A module's pane, read from the module alone: its on/off switch (through the registry), its
// current one-line status and what keeps it from working, its description, the list the module
// lets the user keep (where it has one) and the lines it lists (runs, containers) grouped under
// their headings, then the news it announced this session under "Verlauf" (where there is any).
// Redrawn when the registry, the module or the history announce a change.
class ModuleSettingsPane final : public QWidget {
    Q_OBJECT
public:
    ModuleSettingsPane(ModuleRegistry &registry, PreferenceStore &preferences, const NewsHistory &history,
        const LinkGate &links, DevModule &module, QWidget *parent = nullptr);

    ModuleDetailList *details() const { return m_details; }

Q_SIGNALS:
    // One of the module's lines asked for the settings pane that resolves it.
    void paneRequested(const QString &pane);

private:
    // Reads the module again; the registry and the module announce each change after making it.
    void refresh();

    ModuleRegistry &m_registry;
    const NewsHistory &m_history;
    DevModule &m_module;
    ToggleSwitch *m_toggle = nullptr;
    QLabel *m_status;
    SettingsMessage *m_error;
    ModuleDetailList *m_details;
};

#pragma once

#include "core/Integration.h"

#include <QList>

class DesktopNotifier;
class DoNotDisturb;
class GlobalShortcut;
class LinkGate;
class ModuleRegistry;
class NewsHistory;
class PreferenceStore;
class UpdateController;

// What the settings window is built from: the modules (through the registry), the panes the
// integrations bring, the pages rows may open, and the frame's own parts. The references must
// outlive the window.
struct SettingsSources {
    ModuleRegistry &registry;
    QList<IntegrationPane> integrationPanes;
    const LinkGate &links;
    UpdateController &updates;
    PreferenceStore &preferences;
    const NewsHistory &history;
    const DesktopNotifier &notifier;
    const GlobalShortcut &shortcut;
    const DoNotDisturb &doNotDisturb;
};

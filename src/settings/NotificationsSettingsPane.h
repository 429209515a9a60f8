#pragma once

#include <QWidget>

class DesktopNotifier;
class DoNotDisturb;
class ModuleRegistry;
class PreferenceStore;

// The notifications pane: whether events open the overlay briefly, and for how long (1.0 to
// 10.0 s in half seconds), whether news goes to the desktop's notifications too, whether the
// desktop's Do Not Disturb pauses news, and which kinds of news interrupt (the kinds the modules
// declare, in their order). The duration block is disabled while events do not open the overlay,
// the desktop's switches while the desktop has no notification service or tells no Do Not Disturb.
class NotificationsSettingsPane final : public QWidget {
    Q_OBJECT
public:
    // `notifier` and `doNotDisturb` must outlive the pane.
    NotificationsSettingsPane(PreferenceStore &preferences, const ModuleRegistry &registry,
        const DesktopNotifier &notifier, const DoNotDisturb &doNotDisturb, QWidget *parent = nullptr);
};

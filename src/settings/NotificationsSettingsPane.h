#pragma once

#include <QWidget>

class DesktopNotifier;
class ModuleRegistry;
class PreferenceStore;

// The notifications pane: whether events open the overlay briefly, and for how long (1.0 to
// 10.0 s in half seconds), whether news goes to the desktop's notifications too, and which kinds
// of news do either (the kinds the modules declare, in their order). The duration block is disabled while events do not
// open the overlay, the desktop's switch while the desktop has no notification service.
class NotificationsSettingsPane final : public QWidget {
    Q_OBJECT
public:
    // `notifier` must outlive the pane.
    NotificationsSettingsPane(PreferenceStore &preferences, const ModuleRegistry &registry,
        const DesktopNotifier &notifier, QWidget *parent = nullptr);
};

#pragma once

#include <QWidget>

class PreferenceStore;

// The notifications pane: whether events open the overlay briefly, and for how long (1.0 to
// 10.0 s in half seconds), and which kinds of news may open it. The duration block is disabled
// while events do not open it.
class NotificationsSettingsPane final : public QWidget {
    Q_OBJECT
public:
    explicit NotificationsSettingsPane(PreferenceStore &preferences, QWidget *parent = nullptr);
};

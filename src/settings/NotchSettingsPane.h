#pragma once

#include <QWidget>

class PreferenceStore;

// The notch pane: the static overlay preview, whether hovering opens the overlay, the screen it
// lives on and whether it steps aside for full-screen windows.
class NotchSettingsPane final : public QWidget {
    Q_OBJECT
public:
    explicit NotchSettingsPane(PreferenceStore &preferences, QWidget *parent = nullptr);
};

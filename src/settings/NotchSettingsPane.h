#pragma once

#include <QWidget>

class PreferenceStore;

// The notch pane: the static overlay preview and whether hovering opens the overlay.
class NotchSettingsPane final : public QWidget {
    Q_OBJECT
public:
    explicit NotchSettingsPane(PreferenceStore &preferences, QWidget *parent = nullptr);
};

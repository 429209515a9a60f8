#pragma once

#include <QWidget>

class GlobalShortcut;
class PreferenceStore;

// The notch pane: the static overlay preview, whether hovering opens the overlay, the screen it
// lives on, whether it steps aside for full-screen windows, how far below the screen's top edge
// it keeps at least, and the key combination that opens and pins it from anywhere, with what
// became of it (waiting for the desktop, held by another program, or, where the desktop gives
// programs no global shortcuts, the command to bind in the desktop's own keyboard settings).
class NotchSettingsPane final : public QWidget {
    Q_OBJECT
public:
    // What the desktop's keyboard settings can run to open and pin the overlay.
    static constexpr auto pinCommand = "tarnlet --pin";

    // `shortcut` must outlive the pane.
    NotchSettingsPane(PreferenceStore &preferences, const GlobalShortcut &shortcut, QWidget *parent = nullptr);
};

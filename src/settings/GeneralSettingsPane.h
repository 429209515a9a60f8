#pragma once

#include <QWidget>

class PreferenceStore;

// The general pane: the appearance picker ("System", "Hell", "Dunkel"), the interface language
// ("System", "Deutsch", "English", from the next start) and whether the settings window opens at
// start-up.
class GeneralSettingsPane final : public QWidget {
    Q_OBJECT
public:
    explicit GeneralSettingsPane(PreferenceStore &preferences, QWidget *parent = nullptr);
};

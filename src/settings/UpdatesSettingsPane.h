#pragma once

#include <QWidget>

class QPushButton;
class UpdateController;

// The updates pane: the automatic-check switch, written through to the updater at once, and
// the button for a check now, disabled while the updater cannot start one.
class UpdatesSettingsPane final : public QWidget {
    Q_OBJECT
public:
    explicit UpdatesSettingsPane(UpdateController &updates, QWidget *parent = nullptr);

private:
    UpdateController &m_updates;
    QPushButton *m_checkButton;
};

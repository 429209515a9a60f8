#pragma once

#include "updates/Updater.h"

#include <QObject>

#include <memory>

// The application's one handle on its updater: starts it at creation and hands the status menu
// and the updates pane the manual check and the two properties they show.
class UpdateController final : public QObject {
    Q_OBJECT
public:
    explicit UpdateController(std::unique_ptr<Updater> updater, QObject *parent = nullptr);
    ~UpdateController() override;

    // The sender (a menu entry, or none from the pane) is not needed by our updater.
    void checkForUpdates(QObject *sender = nullptr);
    bool automaticallyChecksForUpdates() const;
    void setAutomaticallyChecksForUpdates(bool enabled);
    bool canCheckForUpdates() const;

Q_SIGNALS:
    void canCheckForUpdatesChanged();

private:
    std::unique_ptr<Updater> m_updater;
};

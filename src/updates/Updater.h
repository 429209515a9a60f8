#pragma once

#include <QObject>

// The self-update machinery behind UpdateController: a user-initiated check, an automatic-check
// switch the updater stores itself, and whether a check can start now.
class Updater : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    // Starts the updater's own schedule (automatic checks); called once, at creation.
    virtual void startUpdater() = 0;
    // Runs a user-initiated check with the updater's own dialogs.
    virtual void checkForUpdates() = 0;
    virtual bool automaticallyChecksForUpdates() const = 0;
    virtual void setAutomaticallyChecksForUpdates(bool enabled) = 0;
    // False while a check is under way.
    virtual bool canCheckForUpdates() const = 0;

Q_SIGNALS:
    void canCheckForUpdatesChanged();
};

#pragma once

#include "core/ModuleStatus.h"

#include <QObject>
#include <QString>

#include <optional>

// The contract every integration follows, so that the registry and the settings window can
// start it, stop it and show its status without knowing what it does.
//
// Observers connect to willChange(), which is emitted before each write to the module's
// observable state; connect with Qt::QueuedConnection (or repaint later) to see the new value.
class DevModule : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    virtual QString id() const = 0;
    virtual QString title() const = 0;
    virtual QString symbol() const = 0;
    // Computed on every read; empty when the module has nothing to show.
    virtual std::optional<ModuleStatus> compactStatus() const = 0;
    // Begins (or restarts) the module's work. Called on the GUI thread; returns at once.
    virtual void start() = 0;
    // Ends the module's work; the data gathered so far is kept.
    virtual void stop() = 0;

Q_SIGNALS:
    void willChange();
};

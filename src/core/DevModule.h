#pragma once

#include "core/ModuleCounts.h"
#include "core/ModuleDetail.h"
#include "core/ModuleListSetting.h"
#include "core/ModuleNewsKind.h"
#include "core/ModuleRow.h"
#include "core/ModuleStatus.h"

#include <QList>
#include <QObject>
#include <QString>

#include <optional>

// The contract every integration follows, so that the registry, the overlay, the tray and the
// settings window can start it, stop it, describe it and show its status without knowing what it
// does.
//
// A module emits changed() after each write to what it shows, so an observer reads the new state
// at once.
class DevModule : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    // Stable: preferences and the settings window's pane names are built from it.
    virtual QString id() const = 0;
    virtual QString title() const = 0;
    // The name of the module's icon in the symbol set (the settings window's pane list).
    virtual QString symbol() const = 0;
    // One or two sentences under the module's switch in its settings pane.
    virtual QString description() const { return {}; }
    // Computed on every read; empty when the module has nothing to show.
    virtual std::optional<ModuleStatus> compactStatus() const = 0;
    // Begins (or restarts) the module's work. Called on the GUI thread; returns at once.
    virtual void start() = 0;
    // Ends the module's work; the data gathered so far is kept.
    virtual void stop() = 0;

    // Why the module cannot show what it should, in the user's language (no token, engine not
    // answering); empty while all is well.
    virtual std::optional<QString> errorText() const { return std::nullopt; }
    // What the expanded overlay lists for this module, in order.
    virtual QList<ModuleRow> overlayRows() const { return {}; }
    // The lines of the module's settings pane (runs under their repository, containers with a
    // start or stop command).
    virtual QList<ModuleDetail> details() const { return {}; }
    // The list the user edits in the module's pane, if the module has one.
    virtual std::optional<ModuleListSetting> listSetting() const { return std::nullopt; }
    // The kinds of news it publishes that the user may switch off, in the order they are listed.
    virtual QList<ModuleNewsKind> newsKinds() const { return {}; }
    // The numbers a status bar shows of what the module watches; zero for what it does not watch.
    virtual ModuleCounts counts() const { return {}; }

Q_SIGNALS:
    // After a change to anything the accessors above return.
    void changed();
};

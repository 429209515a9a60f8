#pragma once

#include "core/ModuleRow.h"

#include <QList>
#include <QPointer>
#include <QString>

#include <functional>
#include <optional>

// A command a module offers beside one line of its settings pane (start or stop a container).
struct ModuleCommand {
    QString label; // the button's text
    QString accessibleName;
    // Pressed and not finished yet: the button is dimmed and a second press does nothing.
    bool underWay = false;
    std::function<void()> run;

    // A press that `act`s on `module` as it is when pressed (its details() are const and made
    // earlier), and does nothing once the module is gone.
    template<typename Module, typename Act> static std::function<void()> later(const Module *module, Act act)
    {
        return [guard = QPointer<Module>(const_cast<Module *>(module)), act = std::move(act)] {
            if (guard)
                act(*guard);
        };
    }
};

// A longer text a line shows below itself while the user wants it (a container's log): plain
// text from outside, shown read-only, with a copy button and one that reads it again.
struct ModuleDocument {
    QString title; // what screen readers call it ("Protokoll von web")
    QString text;
    // Being read (again): the refresh button is dimmed.
    bool loading = false;
    std::function<void()> refresh = {};
};

// One line of a module's settings pane: the row, the heading it sits under (a repository; empty
// for none), its commands in order, the message of its last refusal and an open document.
struct ModuleDetail {
    QString group;
    ModuleRow row;
    QList<ModuleCommand> commands;
    QString message;
    std::optional<ModuleDocument> document = {};
};

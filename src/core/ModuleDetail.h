#pragma once

#include "core/ModuleRow.h"

#include <QList>
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

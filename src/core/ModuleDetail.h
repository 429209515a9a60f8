#pragma once

#include "core/ModuleRow.h"

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

// One line of a module's settings pane: the row, the heading it sits under (a repository; empty
// for none), an optional command and the message of its last refusal.
struct ModuleDetail {
    QString group;
    ModuleRow row;
    std::optional<ModuleCommand> command;
    QString message;
};

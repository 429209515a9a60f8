#pragma once

#include <QString>

// One piece of news a module publishes on the event bus: who sent it, the text to show, and
// whether it asks the overlay to open briefly.
struct ModuleEvent {
    QString moduleID;
    QString text;
    bool shouldExpand = false;

    friend bool operator==(const ModuleEvent &, const ModuleEvent &) = default;
};

#pragma once

#include "core/Color.h"

#include <QString>

// One piece of news a module publishes on the event bus: who sent it, the text to show, and
// whether it asks the overlay to open briefly, the colour of its dot and what kind of news it is.
struct ModuleEvent {
    QString moduleID;
    QString text;
    bool shouldExpand = false;
    Color color = Color::blue();
    // A stable name for the sort of news ("docker.unexpectedExit"), for switches per kind; empty
    // for a module's general news.
    QString kind = {};

    friend bool operator==(const ModuleEvent &, const ModuleEvent &) = default;
};

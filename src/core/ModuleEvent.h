#pragma once

#include "core/Color.h"

#include <QString>
#include <QUrl>

// One piece of news a module publishes on the event bus: who sent it, the text to show, and
// whether it asks the overlay to open briefly, the colour of its dot, what kind of news it is and
// the page it is about.
struct ModuleEvent {
    QString moduleID;
    QString text;
    bool shouldExpand = false;
    Color color = Color::blue();
    // A stable name for the sort of news ("docker.unexpectedExit", those of NewsKind), for switches
    // per kind; empty for a module's general news.
    QString kind = {};
    QUrl link {}; // empty when it is about no page

    friend bool operator==(const ModuleEvent &, const ModuleEvent &) = default;
};

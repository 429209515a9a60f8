#pragma once

#include "core/Color.h"

#include <QString>
#include <QUrl>

// One piece of news a module publishes on the event bus: who sent it, the text to show, and
// whether it asks the overlay to open briefly, the colour of its dot, and the page it is about.
struct ModuleEvent {
    // What the news is about: the user chooses for each kind but Other whether it may interrupt.
    enum class Kind { Other, ReviewRequested, ReviewOrComment, PullRequestMerged, RunFailed, RunFixed };

    QString moduleID;
    QString text;
    bool shouldExpand = false;
    Color color = Color::blue();
    Kind kind = Kind::Other;
    QUrl link {}; // empty when it is about no page

    friend bool operator==(const ModuleEvent &, const ModuleEvent &) = default;
};

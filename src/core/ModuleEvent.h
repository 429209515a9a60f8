#pragma once

#include "core/ModuleStatus.h"

#include <QString>
#include <QUrl>

// One piece of news a module publishes on the event bus: who sent it, the text to show, how much
// it asks for attention (the colour of its dot, a desktop notification's urgency), what kind of
// news it is and the page it is about.
struct ModuleEvent {
    QString moduleID;
    QString text;
    ModuleStatus::Severity severity = ModuleStatus::Severity::Notice;
    // One of the publishing module's newsKinds(), for its switch; empty for news that always may
    // interrupt.
    QString kind = {};
    QUrl link {}; // empty when it is about no page
    // Only for the record: news the user was already told of in the same words (a container that
    // keeps failing), kept in the history and never announced.
    bool recordOnly = false;

    friend bool operator==(const ModuleEvent &, const ModuleEvent &) = default;
};

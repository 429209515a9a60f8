#pragma once

#include <QString>

// A kind of news a module publishes (ModuleEvent::kind) that the user may keep from interrupting:
// one switch in "Benachrichtigungen", listed in the modules' order, under the preference
// AppPreferences::interruptKey(id).
struct ModuleNewsKind {
    // Stable, prefixed by the module's area ("<area>.runFailed"): the preference key is built from
    // the part after the prefix.
    QString id;
    // The switch's label, in the user's language.
    QString label;
    bool onByDefault = true;
};

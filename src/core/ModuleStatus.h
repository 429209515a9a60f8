#pragma once

#include "core/Color.h"

#include <QString>

// A module's one-line status: the text, already formatted, and how much it asks for the user's
// attention. The overlay's dot and the tray's mark both follow the severity.
struct ModuleStatus {
    // In rising order of attention: nothing to report, all well, news to read, something under
    // way, something failing.
    enum class Severity { Idle, Fine, Notice, Active, Failing };

    QString text;
    Severity severity = Severity::Idle;

    // Gray, green, blue, orange, red: the one place a severity becomes a colour.
    static Color colorOf(Severity severity);
    Color color() const { return colorOf(severity); }

    friend bool operator==(const ModuleStatus &, const ModuleStatus &) = default;
};

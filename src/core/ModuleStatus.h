#pragma once

#include "core/Color.h"

#include <QString>

// A module's one-line status: the text, already formatted, and the colour that goes with it.
struct ModuleStatus {
    QString text;
    Color color;

    friend bool operator==(const ModuleStatus &, const ModuleStatus &) = default;
};

#include "core/ModuleStatus.h"

Color ModuleStatus::colorOf(Severity severity)
{
    switch (severity) {
    case Severity::Failing:
        return Color::red();
    case Severity::Active:
        return Color::orange();
    case Severity::Notice:
        return Color::blue();
    case Severity::Fine:
        return Color::green();
    case Severity::Idle:
        break;
    }
    return Color::gray();
}

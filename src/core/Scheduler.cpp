#include "core/Scheduler.h"

#include <cmath>

double Scheduler::clampedDelay(double delaySeconds)
{
    if (std::isnan(delaySeconds) || delaySeconds <= 0)
        return 0;
    return std::min(delaySeconds, maximumDelay);
}

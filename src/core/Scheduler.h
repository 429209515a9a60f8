#pragma once

#include "core/CancelHandle.h"

#include <functional>

// "Run this after d seconds on the GUI thread." Every delay, poll pause and back-off goes
// through here, so tests can drive time by hand.
class Scheduler {
public:
    using Job = std::function<void()>;

    // Longest delay a scheduler waits for; longer ones are cut to it (about 24.8 days).
    static constexpr double maximumDelay = 2147483.0;

    virtual ~Scheduler() = default;

    // Monotonic seconds since an arbitrary start.
    virtual double now() const = 0;
    // Runs `job` once `delaySeconds` have passed. Zero, negative or NaN delays run without
    // waiting (still as a later piece of work, never inside this call). Cancelling holds even
    // when the delay has run out but the job has not run yet.
    virtual CancelHandle schedule(double delaySeconds, Job job) = 0;

    // The delay actually waited for: NaN and negatives become 0, huge values maximumDelay.
    static double clampedDelay(double delaySeconds);
};

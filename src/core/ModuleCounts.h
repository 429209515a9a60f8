#pragma once

// What a status bar counts beside the collapsed line. Each module fills in the numbers that fit
// what it watches and leaves the rest at zero; the content source adds them up over the
// switched-on modules, so nobody outside a module knows which module counts what.
struct ModuleCounts {
    int failedRuns = 0; // runs whose workflow and branch last ended in a failure
    int activeRuns = 0; // runs queued or in progress
    int newsForYou = 0; // unread news that asks the user to act (a review requested, an assignment)
    int containersRunning = 0;
    int containersFailed = 0; // containers that ended with an error, were killed or are unhealthy

    ModuleCounts &operator+=(const ModuleCounts &other)
    {
        failedRuns += other.failedRuns;
        activeRuns += other.activeRuns;
        newsForYou += other.newsForYou;
        containersRunning += other.containersRunning;
        containersFailed += other.containersFailed;
        return *this;
    }

    friend bool operator==(const ModuleCounts &, const ModuleCounts &) = default;
};

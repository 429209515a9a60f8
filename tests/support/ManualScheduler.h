#pragma once

#include "core/Scheduler.h"

#include <map>
#include <utility>

// A scheduler whose clock moves only when a test says so. advance(seconds) runs every job that
// falls due, in due order (ties in scheduling order), including jobs scheduled while advancing.
class ManualScheduler final : public Scheduler {
public:
    double now() const override { return m_now; }
    CancelHandle schedule(double delaySeconds, Job job) override;

    void advance(double seconds);
    // Runs what is due now (zero-delay jobs) without moving the clock.
    void runDue() { advance(0); }
    // Number of jobs waiting (not cancelled, not run).
    int pendingCount() const;
    // Delay from now until the earliest waiting job, or -1 when none waits.
    double nextDelay() const;

private:
    struct Entry {
        CancelHandle handle;
        Job job;
    };
    double m_now = 0;
    unsigned long m_sequence = 0;
    std::map<std::pair<double, unsigned long>, Entry> m_jobs;
};

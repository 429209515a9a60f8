#pragma once

#include "core/Scheduler.h"

#include <algorithm>
#include <map>

// A scheduler whose clock moves only when a test says so. advance(seconds) runs every job that
// falls due, in due order (ties in scheduling order), including jobs scheduled while advancing.
class ManualScheduler final : public Scheduler {
public:
    double now() const override { return m_now; }
    CancelHandle schedule(double delaySeconds, Job job) override
    {
        const CancelHandle handle = CancelHandle::create();
        m_jobs.emplace(m_now + clampedDelay(delaySeconds), Entry { handle, std::move(job) });
        return handle;
    }

    void advance(double seconds)
    {
        const double target = m_now + seconds;
        while (!m_jobs.empty() && m_jobs.begin()->first <= target) {
            auto node = m_jobs.extract(m_jobs.begin());
            m_now = std::max(m_now, node.key());
            if (node.mapped().handle.finish())
                node.mapped().job();
        }
        m_now = std::max(m_now, target);
    }
    // Runs what is due now (zero-delay jobs) without moving the clock.
    void runDue() { advance(0); }
    // Jobs waiting (not cancelled, not run).
    int pendingCount() const { return int(std::ranges::count_if(m_jobs, waiting)); }
    // Delay from now until the earliest waiting job, or -1 when none waits.
    double nextDelay() const
    {
        const auto next = std::ranges::find_if(m_jobs, waiting);
        return next == m_jobs.end() ? -1 : next->first - m_now;
    }

private:
    struct Entry {
        CancelHandle handle;
        Job job;
    };
    static constexpr auto waiting = [](const auto &job) { return job.second.handle.isPending(); };
    double m_now = 0;
    std::multimap<double, Entry> m_jobs; // equal due times keep their scheduling order
};

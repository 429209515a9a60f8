#include "ManualScheduler.h"

CancelHandle ManualScheduler::schedule(double delaySeconds, Job job)
{
    const CancelHandle handle = CancelHandle::create();
    m_jobs.emplace(std::make_pair(m_now + clampedDelay(delaySeconds), m_sequence++), Entry{handle, std::move(job)});
    return handle;
}

void ManualScheduler::advance(double seconds)
{
    const double target = m_now + seconds;
    while (!m_jobs.empty() && m_jobs.begin()->first.first <= target) {
        auto node = m_jobs.extract(m_jobs.begin());
        m_now = std::max(m_now, node.key().first);
        if (node.mapped().handle.finish())
            node.mapped().job();
    }
    m_now = std::max(m_now, target);
}

int ManualScheduler::pendingCount() const
{
    int count = 0;
    for (const auto &[key, entry] : m_jobs)
        count += entry.handle.isPending() ? 1 : 0;
    return count;
}

double ManualScheduler::nextDelay() const
{
    for (const auto &[key, entry] : m_jobs) {
        if (entry.handle.isPending())
            return key.first - m_now;
    }
    return -1;
}

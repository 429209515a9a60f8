#include "core/Scheduler.h"

#include <cmath>

void ScheduledJob::cancel()
{
    if (!m_state || m_state->cancelled || m_state->finished)
        return;
    m_state->cancelled = true;
    if (auto release = std::move(m_state->onCancel))
        release();
}

bool ScheduledJob::isPending() const
{
    return m_state && !m_state->cancelled && !m_state->finished;
}

double Scheduler::clampedDelay(double delaySeconds)
{
    if (std::isnan(delaySeconds) || delaySeconds <= 0)
        return 0;
    return std::min(delaySeconds, maximumDelay);
}

void Scheduler::runJob(ScheduledJob::State &state, const Job &job)
{
    if (state.cancelled || state.finished)
        return;
    state.finished = true;
    state.onCancel = nullptr;
    job();
}

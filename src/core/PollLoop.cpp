#include "core/PollLoop.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

struct PollLoop::State {
    Scheduler &scheduler;
    Poll poll;
    std::uint64_t loop = 0; // moves on with every start and stop
    bool running = false;
    CancelHandle pause;

    static void pollNow(const std::shared_ptr<State> &state)
    {
        const std::uint64_t loop = state->loop;
        state->poll([weak = std::weak_ptr<State>(state), loop](double pauseSeconds) {
            const std::shared_ptr<State> self = weak.lock();
            if (!self || !self->running || self->loop != loop)
                return;
            self->pause = self->scheduler.schedule(pauseSeconds, [weak, loop] {
                const std::shared_ptr<State> current = weak.lock();
                if (current && current->running && current->loop == loop)
                    pollNow(current);
            });
        });
    }
};

PollLoop::PollLoop(Scheduler &scheduler, Poll poll)
    : m_state(std::make_shared<State>(State { scheduler, std::move(poll), 0, false, CancelHandle() }))
{ }

PollLoop::~PollLoop()
{
    stop();
}

void PollLoop::start()
{
    stop();
    m_state->running = true;
    State::pollNow(m_state);
}

void PollLoop::stop()
{
    m_state->pause.cancel();
    ++m_state->loop;
    m_state->running = false;
}

bool PollLoop::isRunning() const
{
    return m_state->running;
}

double PollLoop::backOff(int failures)
{
    const int exponent = std::clamp(failures - 1, 0, 4);
    return std::min(60.0 * std::pow(2.0, exponent), 600.0);
}

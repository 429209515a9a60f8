#pragma once

#include "core/Scheduler.h"

#include <functional>
#include <memory>

// One poll after another on the scheduler: each poll says when it has finished and how long to
// pause before the next one, so every pause counts from the end of a poll. Stopping or
// restarting ends the loop at once; the finish of a poll from an older loop is ignored.
class PollLoop final {
public:
    // Called once per poll, later or at once, with the pause before the next poll in seconds.
    using Finished = std::function<void(double pauseSeconds)>;
    using Poll = std::function<void(Finished finished)>;

    PollLoop(Scheduler &scheduler, Poll poll);
    ~PollLoop();
    PollLoop(const PollLoop &) = delete;
    PollLoop &operator=(const PollLoop &) = delete;

    // Polls now and goes on; a loop already running ends first.
    void start();
    // Ends the loop: no further poll starts.
    void stop();
    bool isRunning() const;

    // The pause after `failures` failed polls in a row (at least one): 60 s, doubling each time,
    // at most 600 s.
    static double backOff(int failures);

private:
    struct State;
    std::shared_ptr<State> m_state;
};

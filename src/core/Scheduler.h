#pragma once

#include <functional>
#include <memory>

// A handle on one delayed job. Cancelling holds even when the delay has already run out but the
// job has not been run yet; cancelling a finished job does nothing. Copies share the job.
class ScheduledJob final {
public:
    ScheduledJob() = default;

    void cancel();
    // True while the job is waiting to run.
    bool isPending() const;

    struct State {
        bool cancelled = false;
        bool finished = false;
        std::function<void()> onCancel; // lets a scheduler release its timer at once
    };
    explicit ScheduledJob(std::shared_ptr<State> state) : m_state(std::move(state)) {}

private:
    std::shared_ptr<State> m_state;
};

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
    // waiting (still as a later piece of work, never inside this call).
    virtual ScheduledJob schedule(double delaySeconds, Job job) = 0;

    // The delay actually waited for: NaN and negatives become 0, huge values maximumDelay.
    static double clampedDelay(double delaySeconds);

protected:
    // Runs the job of `state` unless it was cancelled; marks it finished.
    static void runJob(ScheduledJob::State &state, const Job &job);
};

#pragma once

#include <functional>
#include <memory>

// A handle on work that finishes later: a delayed job or a request in flight. cancel() drops the
// work: its result is never delivered, and what it holds (a timer, a transfer) is released at
// once. Cancelling finished work does nothing; dropping a handle cancels nothing. Copies share the
// work; a default-constructed handle refers to none.
class CancelHandle final {
public:
    CancelHandle() = default;

    // Fresh work; `onCancel` runs once, on the first cancel() before the work finished.
    static CancelHandle create(std::function<void()> onCancel = {});

    void cancel();
    // True while the work waits to finish: neither cancelled nor finished.
    bool isPending() const;

    // Called by whoever does the work, right before delivering its result: marks it finished and
    // tells whether it was still pending (false: deliver nothing).
    bool finish();
    // Replaces what cancel() runs (a request's transfer changes on a redirect).
    void setOnCancel(std::function<void()> onCancel);

private:
    struct State {
        bool cancelled = false;
        bool finished = false;
        std::function<void()> onCancel;
    };
    std::shared_ptr<State> m_state;
};

#pragma once

#include <functional>
#include <memory>

// A GitHub call in flight. abort() drops it: its transfer stops and its callback never runs.
// Copies share the call; a default-constructed handle refers to none.
class GitHubRequest final {
public:
    GitHubRequest() = default;

    // A fresh call; `onAbort` runs once, on the first abort().
    static GitHubRequest create(std::function<void()> onAbort = {});

    void abort();
    bool isAborted() const { return m_state && m_state->aborted; }
    // Replaces what the first abort() runs (the transfer of a call changes on a redirect).
    void setOnAbort(std::function<void()> onAbort);

private:
    struct State {
        bool aborted = false;
        std::function<void()> onAbort;
    };
    std::shared_ptr<State> m_state;
};

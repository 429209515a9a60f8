#include "services/GitHubRequest.h"

#include <utility>

GitHubRequest GitHubRequest::create(std::function<void()> onAbort)
{
    GitHubRequest request;
    request.m_state = std::make_shared<State>();
    request.m_state->onAbort = std::move(onAbort);
    return request;
}

void GitHubRequest::abort()
{
    if (!m_state || m_state->aborted)
        return;
    m_state->aborted = true;
    // Moved out first: stopping a transfer may reach back into this handle.
    if (auto onAbort = std::exchange(m_state->onAbort, {}))
        onAbort();
}

void GitHubRequest::setOnAbort(std::function<void()> onAbort)
{
    if (m_state)
        m_state->onAbort = std::move(onAbort);
}

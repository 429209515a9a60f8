#include "core/CancelHandle.h"

#include <utility>

CancelHandle CancelHandle::create(std::function<void()> onCancel)
{
    CancelHandle handle;
    handle.m_state = std::make_shared<State>();
    handle.m_state->onCancel = std::move(onCancel);
    return handle;
}

void CancelHandle::cancel()
{
    if (!isPending())
        return;
    m_state->cancelled = true;
    // Moved out first: releasing a transfer may reach back into this handle.
    if (auto onCancel = std::exchange(m_state->onCancel, {}))
        onCancel();
}

bool CancelHandle::isPending() const
{
    return m_state && !m_state->cancelled && !m_state->finished;
}

bool CancelHandle::finish()
{
    if (!isPending())
        return false;
    m_state->finished = true;
    m_state->onCancel = nullptr;
    return true;
}

void CancelHandle::setOnCancel(std::function<void()> onCancel)
{
    if (isPending())
        m_state->onCancel = std::move(onCancel);
}

#include "core/EventBus.h"

void EventBus::subscribe(Handler handler)
{
    m_subscribers.push_back(std::move(handler));
}

void EventBus::publish(const ModuleEvent &event) const
{
    // A snapshot, so that a handler subscribing during delivery only sees later events.
    const std::vector<Handler> snapshot = m_subscribers;
    for (const Handler &handler : snapshot)
        handler(event);
}

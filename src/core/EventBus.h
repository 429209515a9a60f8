#pragma once

#include "core/ModuleEvent.h"

#include <QObject>
#include <QPointer>

#include <functional>
#include <vector>

// The one channel from the integration modules to the overlay. Delivery is synchronous, on the
// publisher's (GUI) thread, to every handler in subscription order; handlers are never removed.
class EventBus final {
public:
    using Handler = std::function<void(const ModuleEvent &)>;

    void subscribe(Handler handler);

    // Subscribes a member-like callable that holds `owner` weakly: once the owner is gone the
    // handler stays in the list and does nothing.
    template<typename Owner, typename Fn>
    void subscribe(Owner *owner, Fn fn)
    {
        subscribe([guard = QPointer<Owner>(owner), fn = std::move(fn)](const ModuleEvent &event) {
            if (guard)
                fn(guard.data(), event);
        });
    }

    void publish(const ModuleEvent &event) const;

private:
    std::vector<Handler> m_subscribers;
};

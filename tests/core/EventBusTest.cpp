#include "core/EventBus.h"

#include <QObject>

#include <gtest/gtest.h>

namespace {

using namespace Qt::StringLiterals;

TEST(EventBus, DeliversInSubscriptionOrderLateSubscribersSeeOnlyLaterEventsAndGoneOwnersNone)
{
    EventBus bus;
    QStringList calls;
    auto owner = std::make_unique<QObject>();
    bus.subscribe([&](const ModuleEvent &event) { calls << event.text; });
    bus.subscribe(owner.get(), [&](QObject *, const ModuleEvent &) {
        calls << u"owned"_s;
        if (calls.size() == 2) // subscribing while an event is delivered
            bus.subscribe([&](const ModuleEvent &) { calls << u"late"_s; });
    });
    bus.publish({ u"docker"_s, u"q"_s });
    owner.reset();
    bus.publish({ u"docker"_s, u"q"_s });
    EXPECT_EQ(calls, QStringList({ u"q"_s, u"owned"_s, u"q"_s, u"late"_s }));
}

} // namespace

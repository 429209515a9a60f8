#include "core/EventBus.h"

#include <QObject>

#include <gtest/gtest.h>

namespace {

using namespace Qt::StringLiterals;

TEST(EventBus, DeliversInSubscriptionOrderLateSubscribersSeeOnlyLaterEventsAndGoneOwnersNone)
{
    EventBus bus;
    const ModuleEvent event { u"docker"_s, u"q"_s, false };
    bus.publish(event); // nobody listening: nothing happens
    QStringList calls;
    const auto handler = [&](const ModuleEvent &e) { calls << u"a:"_s + e.text; };
    bus.subscribe(handler);
    bus.subscribe([&](const ModuleEvent &) {
        calls << u"b"_s;
        if (calls.size() == 2)
            bus.subscribe([&](const ModuleEvent &) { calls << u"late"_s; });
    });
    bus.subscribe(handler);
    bus.publish(event);
    bus.publish(event);
    EXPECT_EQ(calls, QStringList({ u"a:q"_s, u"b"_s, u"a:q"_s, u"a:q"_s, u"b"_s, u"a:q"_s, u"late"_s }));

    auto owner = std::make_unique<QObject>();
    bus.subscribe(owner.get(), [&](QObject *, const ModuleEvent &) { calls << u"owned"_s; });
    bus.publish(event);
    owner.reset();
    bus.publish(event);
    EXPECT_EQ(calls.count(u"owned"_s), 1);
}

} // namespace

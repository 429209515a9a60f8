#include "core/EventBus.h"

#include <QObject>

#include <gtest/gtest.h>

namespace {

const ModuleEvent review{QStringLiteral("github.pullRequests"), QStringLiteral("Review angefragt: X"), true};

TEST(EventBus, DeliversInSubscriptionOrderIncludingRepeatsAndDuplicates)
{
    EventBus bus;
    bus.publish(review); // nobody listening: nothing happens
    QStringList calls;
    auto handler = [&](const ModuleEvent &e) { calls << QStringLiteral("a:") + e.text; };
    bus.subscribe(handler);
    bus.subscribe([&](const ModuleEvent &e) { calls << QStringLiteral("b:%1").arg(e.shouldExpand); });
    bus.subscribe(handler);

    const ModuleEvent quiet{QStringLiteral("docker"), QStringLiteral("q"), false};
    bus.publish(quiet);
    bus.publish(quiet);
    EXPECT_EQ(calls, QStringList({QStringLiteral("a:q"), QStringLiteral("b:0"), QStringLiteral("a:q"),
                                  QStringLiteral("a:q"), QStringLiteral("b:0"), QStringLiteral("a:q")}));
}

TEST(EventBus, HandlerSubscribedDuringDeliveryOnlySeesLaterEvents)
{
    EventBus bus;
    int late = 0;
    bool subscribed = false;
    bus.subscribe([&](const ModuleEvent &) {
        if (!subscribed) {
            subscribed = true;
            bus.subscribe([&](const ModuleEvent &) { ++late; });
        }
    });
    bus.publish(review);
    EXPECT_EQ(late, 0);
    bus.publish(review);
    EXPECT_EQ(late, 1);
}

TEST(EventBus, HandlerOfAGoneOwnerStaysAndDoesNothing)
{
    EventBus bus;
    int calls = 0;
    auto *owner = new QObject;
    bus.subscribe(owner, [&](QObject *, const ModuleEvent &) { ++calls; });
    bus.publish(review);
    delete owner;
    bus.publish(review);
    EXPECT_EQ(calls, 1);
}

TEST(ModuleEvent, EqualWhenAllFieldsAre)
{
    ModuleEvent other = review;
    EXPECT_EQ(other, review);
    other.shouldExpand = false;
    EXPECT_FALSE(other == review);
}

} // namespace

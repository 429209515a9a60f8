#include "core/EventBus.h"

#include <QObject>

#include <gtest/gtest.h>

namespace {

const ModuleEvent review { QStringLiteral("github.pullRequests"), QStringLiteral("Review angefragt: X"), true };

TEST(EventBus, DeliversInSubscriptionOrderLateSubscribersSeeOnlyLaterEventsAndGoneOwnersNone)
{
    EventBus bus;
    bus.publish(review); // nobody listening: nothing happens
    QStringList calls;
    auto handler = [&](const ModuleEvent &e) { calls << QStringLiteral("a:") + e.text; };
    bus.subscribe(handler);
    bus.subscribe([&](const ModuleEvent &e) {
        calls << QStringLiteral("b:%1").arg(e.shouldExpand);
        if (calls.size() == 2)
            bus.subscribe([&](const ModuleEvent &) { calls << QStringLiteral("late"); });
    });
    bus.subscribe(handler);

    const ModuleEvent quiet { QStringLiteral("docker"), QStringLiteral("q"), false };
    bus.publish(quiet);
    bus.publish(quiet);
    EXPECT_EQ(calls,
        QStringList({ QStringLiteral("a:q"), QStringLiteral("b:0"), QStringLiteral("a:q"), QStringLiteral("a:q"),
            QStringLiteral("b:0"), QStringLiteral("a:q"), QStringLiteral("late") }));

    auto owner = std::make_unique<QObject>();
    bus.subscribe(owner.get(), [&](QObject *, const ModuleEvent &) { calls << QStringLiteral("owned"); });
    bus.publish(review);
    owner.reset();
    bus.publish(review);
    EXPECT_EQ(calls.count(QStringLiteral("owned")), 1);
}

} // namespace

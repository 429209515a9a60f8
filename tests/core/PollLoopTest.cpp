#include "ManualScheduler.h"

#include "core/PollLoop.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

// The test finishes each poll itself; stopping, restarting and destruction end the loop at once.
TEST(PollLoop, PausesCountFromTheEndOfEachPollOlderLoopsAreIgnoredAndFailuresBackOff)
{
    ManualScheduler scheduler;
    std::vector<PollLoop::Finished> polls; // every poll started, in order
    auto loop = std::make_unique<PollLoop>(scheduler, [&](PollLoop::Finished finished) { polls.push_back(finished); });
    loop->start();
    scheduler.advance(100);
    ASSERT_EQ(polls.size(), 1u) << "no second poll while one is under way";
    polls[0](15);
    scheduler.advance(14.9);
    EXPECT_EQ(polls.size(), 1u);
    scheduler.advance(0.1);
    ASSERT_EQ(polls.size(), 2u);

    loop->start(); // a restart polls at once and ignores the older loop's poll
    polls[1](15);
    EXPECT_EQ(scheduler.pendingCount(), 0);
    polls[2](15);
    loop->stop();
    scheduler.advance(100);
    EXPECT_EQ(polls.size(), 3u) << "a stopped loop's pause does not poll";
    loop->start();
    loop.reset();
    polls[3](15); // finishing after the loop is gone does nothing
    EXPECT_EQ(scheduler.pendingCount(), 0);

    const std::vector<double> pauses { PollLoop::backOff(1), PollLoop::backOff(3), PollLoop::backOff(20) };
    EXPECT_EQ(pauses, (std::vector<double> { 60, 240, 600 }));
}

} // namespace

#include "ManualScheduler.h"

#include "core/PollLoop.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

// The test finishes each poll itself; stopping, restarting and destruction end the loop at once.
TEST(PollLoop, PausesCountFromTheEndOfEachPollAndOlderLoopsAreIgnored)
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
    EXPECT_FALSE(loop->isRunning());
    scheduler.advance(100);
    EXPECT_EQ(polls.size(), 3u) << "a stopped loop's pause does not poll";

    loop->start();
    loop.reset();
    polls[3](15); // finishing after the loop is gone does nothing
    EXPECT_EQ(scheduler.pendingCount(), 0);
}

TEST(PollLoop, BackOffDoublesFromAMinuteUpToTenMinutes)
{
    std::vector<double> pauses;
    for (int failures : { 1, 3, 5, 20 })
        pauses.push_back(PollLoop::backOff(failures));
    EXPECT_EQ(pauses, (std::vector<double> { 60, 240, 600, 600 }));
}

} // namespace

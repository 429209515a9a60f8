#include "ManualScheduler.h"

#include "core/PollLoop.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

// A loop whose polls wait until the test finishes them.
struct PollLoopTest : ::testing::Test {
    ManualScheduler scheduler;
    std::vector<PollLoop::Finished> polls; // every poll started, in order
    std::unique_ptr<PollLoop> loop
        = std::make_unique<PollLoop>(scheduler, [this](PollLoop::Finished finished) { polls.push_back(finished); });
};

TEST_F(PollLoopTest, PausesCountFromTheEndOfEachPoll)
{
    loop->start();
    ASSERT_EQ(polls.size(), 1u) << "the first poll starts at once";
    scheduler.advance(100);
    EXPECT_EQ(polls.size(), 1u) << "no second poll while one is under way";
    polls[0](15);
    scheduler.advance(14.9);
    EXPECT_EQ(polls.size(), 1u);
    scheduler.advance(0.1);
    ASSERT_EQ(polls.size(), 2u);
    polls[1](60);
    EXPECT_EQ(scheduler.nextDelay(), 60);
}

TEST_F(PollLoopTest, StopRestartAndDestructionEndTheLoopAndIgnoreOlderPolls)
{
    loop->start();
    loop->stop();
    EXPECT_FALSE(loop->isRunning());
    polls[0](15); // a poll of the stopped loop finishing
    EXPECT_EQ(scheduler.pendingCount(), 0);

    loop->start();
    polls[1](15);
    loop->start(); // a restart drops the waiting pause and polls at once
    EXPECT_TRUE(loop->isRunning());
    EXPECT_EQ(polls.size(), 3u);
    EXPECT_EQ(scheduler.pendingCount(), 0);
    polls[1](15); // the older loop's poll: ignored
    EXPECT_EQ(scheduler.pendingCount(), 0);

    polls[2](15);
    loop->stop();
    scheduler.advance(100);
    EXPECT_EQ(polls.size(), 3u) << "a stopped loop's pause does not poll";

    loop->start();
    polls[3](15);
    loop.reset();
    EXPECT_EQ(scheduler.pendingCount(), 0);
    polls[3](15); // finishing after the loop is gone does nothing
}

TEST(PollLoop, BackOffDoublesFromAMinuteUpToTenMinutes)
{
    std::vector<double> pauses;
    for (int failures : { 1, 2, 3, 4, 5, 6, 20 })
        pauses.push_back(PollLoop::backOff(failures));
    EXPECT_EQ(pauses, (std::vector<double> { 60, 120, 240, 480, 600, 600, 600 }));
}

} // namespace

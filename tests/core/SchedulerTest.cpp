#include "core/TimerScheduler.h"

#include <QTest>

#include <cmath>
#include <limits>

#include <gtest/gtest.h>

namespace {

TEST(Scheduler, OddDelaysAreClampedInsteadOfOverflowing)
{
    EXPECT_EQ(Scheduler::clampedDelay(-3), 0);
    EXPECT_EQ(Scheduler::clampedDelay(std::nan("")), 0);
    EXPECT_EQ(Scheduler::clampedDelay(std::numeric_limits<double>::infinity()), Scheduler::maximumDelay);
    EXPECT_EQ(Scheduler::clampedDelay(3.5), 3.5);
}

TEST(TimerScheduler, RunsLaterOnTheEventLoopAndHonoursCancellation)
{
    TimerScheduler scheduler;
    int zero = 0, later = 0, cancelled = 0, huge = 0;
    scheduler.schedule(0, [&] { ++zero; });
    scheduler.schedule(-1, [&] { ++zero; });
    EXPECT_EQ(zero, 0) << "never inside schedule()";
    scheduler.schedule(0.02, [&] { ++later; }); // handle dropped: the job still runs
    CancelHandle stopped = scheduler.schedule(0.01, [&] { ++cancelled; });
    CancelHandle far = scheduler.schedule(std::numeric_limits<double>::infinity(), [&] { ++huge; });
    stopped.cancel();
    QTRY_COMPARE(later, 1);
    EXPECT_EQ(zero, 2);
    EXPECT_EQ(cancelled, 0);
    EXPECT_TRUE(far.isPending());
    far.cancel();
    EXPECT_FALSE(far.isPending());
    EXPECT_GT(scheduler.now(), 0.0);
}

} // namespace

#include "core/TimerScheduler.h"

#include <QTest>

#include <cmath>
#include <limits>

#include <gtest/gtest.h>

namespace {

TEST(TimerScheduler, RunsLaterOnTheEventLoopHonoursCancellationAndClampsOddDelays)
{
    EXPECT_EQ(Scheduler::clampedDelay(std::nan("")), 0);
    TimerScheduler scheduler;
    int zero = 0, later = 0, cancelled = 0;
    scheduler.schedule(-1, [&] { ++zero; });
    EXPECT_EQ(zero, 0) << "never inside schedule()";
    scheduler.schedule(0.02, [&] { ++later; }); // handle dropped: the job still runs
    CancelHandle stopped = scheduler.schedule(0.01, [&] { ++cancelled; });
    CancelHandle far = scheduler.schedule(std::numeric_limits<double>::infinity(), [] {});
    stopped.cancel();
    QTRY_COMPARE(later, 1);
    EXPECT_EQ(zero, 1);
    EXPECT_EQ(cancelled, 0);
    EXPECT_TRUE(far.isPending());
    far.cancel();
    EXPECT_FALSE(far.isPending());
}

} // namespace

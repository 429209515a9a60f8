#include "ManualScheduler.h"

#include "core/TimerScheduler.h"

#include <QElapsedTimer>
#include <QTest>

#include <cmath>
#include <limits>

#include <gtest/gtest.h>

namespace {

TEST(ManualScheduler, RunsDueJobsInOrderIncludingOnesScheduledWhileAdvancing)
{
    ManualScheduler scheduler;
    QStringList ran;
    scheduler.schedule(2, [&] { ran << QStringLiteral("2s"); });
    scheduler.schedule(1, [&] {
        ran << QStringLiteral("1s");
        scheduler.schedule(0.5, [&] { ran << QStringLiteral("1.5s"); });
    });
    scheduler.schedule(1, [&] { ran << QStringLiteral("1s-second"); });
    scheduler.advance(0.99);
    EXPECT_TRUE(ran.isEmpty());
    scheduler.advance(1.01);
    EXPECT_EQ(ran, QStringList({QStringLiteral("1s"), QStringLiteral("1s-second"), QStringLiteral("1.5s"),
                                QStringLiteral("2s")}));
    EXPECT_DOUBLE_EQ(scheduler.now(), 2.0);
}

TEST(ManualScheduler, CancelledJobNeverRunsAndCancellingAFinishedJobIsHarmless)
{
    ManualScheduler scheduler;
    int runs = 0;
    CancelHandle job = scheduler.schedule(1, [&] { ++runs; });
    EXPECT_TRUE(job.isPending());
    scheduler.advance(1); // due and run
    EXPECT_EQ(runs, 1);
    EXPECT_FALSE(job.isPending());
    job.cancel();

    CancelHandle second = scheduler.schedule(1, [&] { ++runs; });
    second.cancel();
    scheduler.advance(5);
    EXPECT_EQ(runs, 1);
    EXPECT_EQ(scheduler.pendingCount(), 0);
}

TEST(Scheduler, OddDelaysAreClampedInsteadOfOverflowing)
{
    EXPECT_EQ(Scheduler::clampedDelay(-3), 0);
    EXPECT_EQ(Scheduler::clampedDelay(0), 0);
    EXPECT_EQ(Scheduler::clampedDelay(std::nan("")), 0);
    EXPECT_EQ(Scheduler::clampedDelay(std::numeric_limits<double>::infinity()), Scheduler::maximumDelay);
    EXPECT_EQ(Scheduler::clampedDelay(1e300), Scheduler::maximumDelay);
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
    EXPECT_GT(scheduler.now(), 0.0);
}

} // namespace

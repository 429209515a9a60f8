#include "core/TimerScheduler.h"

#include <QTest>

#include <cmath>
#include <limits>

#include <gtest/gtest.h>

namespace {

using namespace Qt::StringLiterals;

TEST(TimerScheduler, RunsLaterOnTheEventLoopUnlessCancelledAndClampsOddDelays)
{
    TimerScheduler scheduler;
    QStringList ran;
    scheduler.schedule(std::nan(""), [&] { ran << u"at once"_s; });
    scheduler.schedule(0.02, [&] { ran << u"later"_s; }); // handle dropped: the job still runs
    scheduler.schedule(0.01, [&] { ran << u"cancelled"_s; }).cancel();
    const CancelHandle far = scheduler.schedule(std::numeric_limits<double>::infinity(), [] {});
    EXPECT_TRUE(ran.isEmpty()) << "never inside schedule()";
    EXPECT_TRUE(QTest::qWaitFor([&] { return ran.contains(u"later"_s); }, 5000));
    EXPECT_EQ(ran, QStringList({ u"at once"_s, u"later"_s }));
    EXPECT_TRUE(far.isPending());
}

} // namespace

#include "ManualScheduler.h"

#include "services/QtProcessRunner.h"

#include <QTest>

#include <optional>

#include <gtest/gtest.h>

namespace {

using Outcome = ProcessRunner::Result::Outcome;

const QString shell = QStringLiteral("/bin/sh");

// Runs one program and waits (spinning the event loop) for its single report.
struct Harness {
    ManualScheduler scheduler;
    QtProcessRunner runner { scheduler };
    std::optional<ProcessRunner::Result> result;
    int reports = 0;

    void start(const QString &program, const QStringList &arguments, ProcessRunner::Limits limits = {})
    {
        runner.run(program, arguments, limits, [this](const ProcessRunner::Result &r) {
            result = r;
            ++reports;
        });
    }
    bool waitForReport()
    {
        return QTest::qWaitFor([this] { return reports > 0; }, 20000);
    }
};

TEST(QtProcessRunner, CollectsTheWholeOutputAndTheExitStatus)
{
    Harness h;
    // More than one pipe buffer, written before a non-zero exit.
    h.start(shell, { QStringLiteral("-c"), QStringLiteral("head -c 300000 /dev/zero; printf end; exit 3") });
    ASSERT_TRUE(h.waitForReport());
    EXPECT_EQ(h.result->outcome, Outcome::Exited);
    EXPECT_EQ(h.result->exitStatus, 3);
    EXPECT_EQ(h.result->output.size(), 300003);
    EXPECT_TRUE(h.result->output.endsWith("end"));
    EXPECT_EQ(h.scheduler.pendingCount(), 0) << "the time bound is dropped once the child has ended";
}

TEST(QtProcessRunner, ReportsALaunchFailureLaterNeverInsideRun)
{
    Harness h;
    h.start(QStringLiteral("/nonexistent/program"), {});
    EXPECT_EQ(h.reports, 0);
    ASSERT_TRUE(h.waitForReport());
    EXPECT_EQ(h.result->outcome, Outcome::FailedToStart);
    EXPECT_FALSE(h.result->errorText.isEmpty());
}

TEST(QtProcessRunner, EndsAChildThatOutlivesItsTimeBound)
{
    Harness h;
    h.start(shell, { QStringLiteral("-c"), QStringLiteral("printf partial; exec sleep 60") }, { 5, 1024 });
    h.scheduler.advance(5);
    ASSERT_TRUE(h.waitForReport());
    EXPECT_EQ(h.result->outcome, Outcome::TimedOut);
    EXPECT_TRUE(h.result->output.isEmpty()) << "a cut-off answer is never handed on";
    QTest::qWait(100); // the killed child's exit must not bring a second report
    EXPECT_EQ(h.reports, 1);
}

TEST(QtProcessRunner, EndsAChildWhoseOutputPassesTheSizeBound)
{
    Harness h;
    h.start(shell, { QStringLiteral("-c"), QStringLiteral("exec cat /dev/zero") }, { 30, 64 * 1024 });
    ASSERT_TRUE(h.waitForReport());
    EXPECT_EQ(h.result->outcome, Outcome::OutputTooLarge);
    EXPECT_TRUE(h.result->output.isEmpty());
    EXPECT_EQ(h.scheduler.pendingCount(), 0);
}

TEST(QtProcessRunner, DropsReportsOfChildrenStillRunningWhenItGoesAway)
{
    bool reported = false;
    {
        ManualScheduler scheduler;
        QtProcessRunner runner(scheduler);
        runner.run(QStringLiteral("/bin/sleep"), { QStringLiteral("60") }, {}, [&](const auto &) { reported = true; });
        QTest::qWait(50);
    }
    QTest::qWait(50);
    EXPECT_FALSE(reported);
}

} // namespace

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

// The two bounds are exercised with the real curl in the Docker client's tests.

} // namespace

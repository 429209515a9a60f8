#include "ManualScheduler.h"

#include "services/QtProcessRunner.h"

#include <QTest>

#include <vector>

#include <gtest/gtest.h>

namespace {

using Outcome = ProcessRunner::Result::Outcome;

// The two bounds are exercised with the real curl in the Docker client's tests.
TEST(QtProcessRunner, ReportsLaterWithTheWholeOutputAndExitStatusOrWhyItCouldNotStart)
{
    ManualScheduler scheduler;
    QtProcessRunner runner(scheduler);
    std::vector<ProcessRunner::Result> results;
    const auto run = [&](const QString &program, const QStringList &arguments) {
        runner.run(program, arguments, {}, [&](const ProcessRunner::Result &result) { results.push_back(result); });
    };
    // More than one pipe buffer, written before a non-zero exit.
    run(QStringLiteral("/bin/sh"), { QStringLiteral("-c"), QStringLiteral("head -c 300000 /dev/zero; printf end; exit 3") });
    run(QStringLiteral("/nonexistent/program"), {});
    EXPECT_TRUE(results.empty()) << "never inside run()";
    ASSERT_TRUE(QTest::qWaitFor([&] { return results.size() == 2; }, 20000));

    const bool failedFirst = results[0].outcome == Outcome::FailedToStart;
    const ProcessRunner::Result &failed = results[failedFirst ? 0 : 1];
    const ProcessRunner::Result &exited = results[failedFirst ? 1 : 0];
    EXPECT_EQ(failed.outcome, Outcome::FailedToStart);
    EXPECT_FALSE(failed.errorText.isEmpty());
    EXPECT_EQ(exited.outcome, Outcome::Exited);
    EXPECT_EQ(exited.exitStatus, 3);
    EXPECT_EQ(exited.output.size(), 300003);
    EXPECT_TRUE(exited.output.endsWith("end"));
    EXPECT_EQ(scheduler.pendingCount(), 0) << "the time bounds are dropped once the children have ended";
}

} // namespace

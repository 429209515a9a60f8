#include "ManualScheduler.h"

#include "services/QtProcessRunner.h"

#include <QTest>

#include <map>

#include <gtest/gtest.h>

namespace {

using namespace Qt::StringLiterals;

// The two bounds are exercised with the real curl in the Docker client's tests.
TEST(QtProcessRunner, ReportsLaterWithTheWholeOutputAndExitStatusOrWhyItCouldNotStart)
{
    ManualScheduler scheduler;
    QtProcessRunner runner(scheduler);
    std::map<QString, ProcessRunner::Result> results;
    // More than one pipe buffer, written before a non-zero exit.
    for (const QString &program : { u"/bin/sh"_s, u"/nonexistent/program"_s })
        runner.run(program, { u"-c"_s, u"head -c 300000 /dev/zero; printf end; exit 3"_s }, {},
            [&, program](const ProcessRunner::Result &result) { results.emplace(program, result); });
    EXPECT_TRUE(results.empty()) << "never inside run()";
    ASSERT_TRUE(QTest::qWaitFor([&] { return results.size() == 2; }, 20000));
    const ProcessRunner::Result &exited = results[u"/bin/sh"_s];
    EXPECT_TRUE(exited.outcome == ProcessRunner::Result::Outcome::Exited && exited.exitStatus == 3);
    EXPECT_EQ(exited.output, QByteArray(300000, '\0') + "end");
    EXPECT_EQ(results[u"/nonexistent/program"_s].outcome, ProcessRunner::Result::Outcome::FailedToStart);
    EXPECT_EQ(scheduler.pendingCount(), 0) << "the time bounds are dropped once the children have ended";
}

} // namespace

#include "ManualScheduler.h"

#include "services/QtProcessRunner.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QTest>

#include <cstdio>
#include <map>

#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>

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

TEST(QtProcessRunner, StreamsLinesAsTheyComeSkipsOverlongOnesAndKillsAtOnceWhenCancelled)
{
    ManualScheduler scheduler;
    QtProcessRunner runner(scheduler);
    QList<QByteArray> lines;
    bool ended = false;
    CancelHandle stream = runner.stream(
        u"/bin/sh"_s,
        { u"-c"_s, u"echo $$; head -c 100 /dev/zero | tr '\\0' x; printf '\\nshort\\n\\nlast'; exec sleep 600"_s }, 50,
        [&](const QByteArray &line) { lines << line; }, [&](const ProcessRunner::Result &) { ended = true; });
    EXPECT_TRUE(lines.isEmpty()) << "never inside stream()";
    ASSERT_TRUE(QTest::qWaitFor([&] { return lines.size() == 3; }, 20000));
    EXPECT_EQ(lines.mid(1), (QList<QByteArray> { "short", "" }));
    const pid_t child = pid_t(lines[0].toInt());
    stream.cancel();
    EXPECT_TRUE(QTest::qWaitFor([&] { return ::kill(child, 0) != 0; }, 20000)) << "killed and reaped";
    EXPECT_FALSE(ended);

    runner.stream(
        u"/bin/sh"_s, { u"-c"_s, u"exit 4"_s }, 50, [](const QByteArray &) {},
        [&](const ProcessRunner::Result &result) { ended = result.exitStatus == 4; });
    EXPECT_TRUE(QTest::qWaitFor([&] { return ended; }, 20000));
}

// A child outlives neither a runner that goes away nor the program killed outright. The killed
// program is this test again, run as a holder of one child that it names.
TEST(QtProcessRunner, ChildrenEndWithTheProgramEvenWhenItIsKilled)
{
    if (qEnvironmentVariableIsSet("TARNLET_HOLD_A_CHILD")) {
        ManualScheduler scheduler;
        QtProcessRunner runner(scheduler);
        runner.stream(
            u"/bin/sh"_s, { u"-c"_s, u"echo $$; exec sleep 600"_s }, 50,
            [](const QByteArray &pid) {
                std::printf("child %s\n", pid.constData());
                std::fflush(stdout);
            },
            [](const ProcessRunner::Result &) {});
        QTest::qWait(60000);
        return;
    }
    ::prctl(PR_SET_CHILD_SUBREAPER, 1);
    QProcess holder;
    holder.setProcessEnvironment([] {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(u"TARNLET_HOLD_A_CHILD"_s, u"1"_s);
        return environment;
    }());
    holder.start(QCoreApplication::applicationFilePath(),
        { u"--gtest_filter=QtProcessRunner.ChildrenEndWithTheProgramEvenWhenItIsKilled"_s });
    QByteArray output;
    const auto named = [&] {
        output += holder.readAllStandardOutput();
        const qsizetype at = output.indexOf("child ");
        return at >= 0 && output.indexOf('\n', at) > at;
    };
    ASSERT_TRUE(QTest::qWaitFor(named, 20000)) << output.constData();
    const qsizetype at = output.indexOf("child ") + 6;
    const QByteArray child = output.mid(at, output.indexOf('\n', at) - at);
    ::kill(pid_t(holder.processId()), SIGKILL);
    holder.waitForFinished();
    // The orphan came to this process, which reaps it once it has ended.
    const auto ended = [child = pid_t(child.toInt())] { return ::waitpid(child, nullptr, WNOHANG) == child; };
    EXPECT_TRUE(QTest::qWaitFor(ended, 20000)) << "child " << child.constData() << " still runs";
    if (!ended() && ::kill(pid_t(child.toInt()), SIGKILL) == 0)
        ::waitpid(pid_t(child.toInt()), nullptr, 0);
}

} // namespace

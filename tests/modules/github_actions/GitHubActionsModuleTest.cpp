// The Actions module's poll loop on the manual scheduler against a fake API: pauses, back-off,
// colours, the status line, and what stop and start keep.
#include "FakeGitHubApi.h"
#include "ManualScheduler.h"
#include "QtPrinters.h"

#include "modules/github_actions/GitHubActionsModule.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

namespace {

const QString loadError = QStringLiteral("L\u00E4ufe konnten nicht geladen werden.");
const QString tokenError = QStringLiteral("Kein GitHub-Token hinterlegt.");

WorkflowRun run(std::optional<QString> status, std::optional<QString> conclusion = std::nullopt,
    std::optional<QString> name = QStringLiteral("CI"), std::optional<QString> branch = QStringLiteral("main"))
{
    static qint64 nextId = 1;
    WorkflowRun r;
    r.id = nextId++;
    r.name = std::move(name);
    r.headBranch = std::move(branch);
    r.status = std::move(status);
    r.conclusion = std::move(conclusion);
    return r;
}

const QString completed = QStringLiteral("completed");

class GitHubActionsModuleTest : public ::testing::Test {
protected:
    GitHubActionsModuleTest()
    {
        auto fake = std::make_unique<FakeGitHubApi>();
        api = fake.get();
        module
            = std::make_unique<GitHubActionsModule>(QStringLiteral("octo-org/hello-world"), std::move(fake), scheduler);
    }

    // Answers the waiting poll and returns the pause the module then waits before the next one.
    double answer(const GitHubResult<QList<WorkflowRun>> &result)
    {
        EXPECT_TRUE(api->runs.answer(result));
        return scheduler.nextDelay();
    }
    // Lets the pause run out, so that the next poll goes out.
    void nextPoll()
    {
        const int before = int(api->runs.arguments.size());
        scheduler.advance(scheduler.nextDelay());
        EXPECT_EQ(api->runs.arguments.size(), before + 1);
    }

    ManualScheduler scheduler;
    FakeGitHubApi *api = nullptr;
    std::unique_ptr<GitHubActionsModule> module;
};

TEST_F(GitHubActionsModuleTest, PollsAtOnceThenEvery15sWhileAnyRunIsActiveElse60s)
{
    EXPECT_EQ(module->id(), QStringLiteral("github.actions"));
    EXPECT_TRUE(api->runs.arguments.isEmpty()); // nothing before start
    module->start();
    EXPECT_EQ(api->runs.arguments, QStringList({ QStringLiteral("octo-org/hello-world?per_page=10") }));
    EXPECT_EQ(scheduler.pendingCount(), 0); // the next pause counts from the end of this poll

    // An active run anywhere among them, not only the first, selects the short pause.
    EXPECT_EQ(
        answer(QList<WorkflowRun> { run(completed, QStringLiteral("success")), run(QStringLiteral("in_progress")) }),
        15);
    scheduler.advance(14.9);
    EXPECT_EQ(api->runs.arguments.size(), 1);
    scheduler.advance(0.1);
    EXPECT_EQ(api->runs.arguments.size(), 2);
    EXPECT_EQ(answer(QList<WorkflowRun> { run(completed), run(QStringLiteral("queued")) }), 15);
    nextPoll();
    EXPECT_EQ(answer(QList<WorkflowRun> { run(completed, QStringLiteral("success")) }), 60);
    nextPoll();
    EXPECT_EQ(answer(QList<WorkflowRun> {}), 60);
}

TEST_F(GitHubActionsModuleTest, FailuresBackOffUpTo600sAndASuccessResetsTheCount)
{
    module->start();
    for (double expected : { 60, 120, 240, 480, 600, 600 }) {
        EXPECT_EQ(answer(GitHubError::http(500)), expected);
        nextPoll();
    }
    EXPECT_EQ(answer(QList<WorkflowRun> { run(completed) }), 60);
    nextPoll();
    EXPECT_EQ(answer(GitHubError::transport(3, QStringLiteral("refused"))), 60);
    nextPoll();
    EXPECT_EQ(answer(GitHubError::missingToken()), 120); // a missing token is a failure like any other
}

TEST_F(GitHubActionsModuleTest, ColoursFollowStatusThenConclusion)
{
    const QString failure = QStringLiteral("failure");
    EXPECT_EQ(GitHubActionsModule::color(run(QStringLiteral("queued"), failure)), Color::orange());
    EXPECT_EQ(
        GitHubActionsModule::color(run(QStringLiteral("in_progress"), QStringLiteral("success"))), Color::orange());
    EXPECT_EQ(GitHubActionsModule::color(run(completed)), Color::gray());
    EXPECT_EQ(GitHubActionsModule::color(run(std::nullopt)), Color::gray());
    EXPECT_EQ(GitHubActionsModule::color(run(QStringLiteral("waiting"), QStringLiteral("success"))), Color::green());
    for (const char *red : { "failure", "timed_out", "startup_failure" })
        EXPECT_EQ(GitHubActionsModule::color(run(completed, QString::fromLatin1(red))), Color::red()) << red;
    for (const char *gray : { "cancelled", "neutral", "skipped", "Success", "FAILURE" })
        EXPECT_EQ(GitHubActionsModule::color(run(completed, QString::fromLatin1(gray))), Color::gray()) << gray;
    EXPECT_EQ(GitHubActionsModule::color(run(QStringLiteral("Queued"))), Color::gray());
}

TEST_F(GitHubActionsModuleTest, StatusLineComesFromTheFirstRunAndSurvivesFailures)
{
    EXPECT_EQ(module->compactStatus(), std::nullopt);
    module->start();
    answer(GitHubError::http(404)); // never succeeded: still nothing to show
    EXPECT_EQ(module->compactStatus(), std::nullopt);
    EXPECT_EQ(module->errorText(), loadError);

    const auto statusOf = [&](WorkflowRun first) {
        nextPoll();
        answer(
            QList<WorkflowRun> { std::move(first), run(QStringLiteral("in_progress"), {}, QStringLiteral("Other")) });
        return module->compactStatus();
    };
    EXPECT_EQ(statusOf(run(completed, QStringLiteral("failure"), QStringLiteral("CI"), QStringLiteral("feature/x"))),
        (ModuleStatus { QStringLiteral("CI \u00B7 feature/x"), Color::red() }));
    EXPECT_EQ(module->errorText(), std::nullopt);
    EXPECT_EQ(statusOf(run(completed, QStringLiteral("success"), QStringLiteral("CI"), std::nullopt)),
        (ModuleStatus { QStringLiteral("CI"), Color::green() }));
    EXPECT_EQ(statusOf(run(QStringLiteral("queued"), std::nullopt, std::nullopt, QStringLiteral("main"))),
        (ModuleStatus { QStringLiteral("main"), Color::orange() }));
    EXPECT_EQ(statusOf(run(completed, std::nullopt, std::nullopt, std::nullopt)),
        (ModuleStatus { QString(), Color::gray() }));

    const QList<WorkflowRun> kept = module->runs();
    const std::optional<ModuleStatus> status = module->compactStatus();
    QSignalSpy changes(module.get(), &DevModule::willChange);
    nextPoll();
    answer(GitHubError::missingToken());
    EXPECT_EQ(module->errorText(), tokenError);
    EXPECT_EQ(module->runs(), kept);
    EXPECT_EQ(module->compactStatus(), status);
    EXPECT_GE(changes.size(), 1);
    nextPoll();
    answer(GitHubError::decode(QStringLiteral("workflow_runs[0].id: missing or null")));
    EXPECT_EQ(module->errorText(), loadError);
}

TEST_F(GitHubActionsModuleTest, StopDropsTheRequestInFlightAndKeepsStateAndBackOff)
{
    module->start();
    answer(QList<WorkflowRun> { run(completed, QStringLiteral("success")) });
    nextPoll();
    answer(GitHubError::http(502)); // one failure so far
    nextPoll();

    module->stop();
    EXPECT_EQ(api->runs.abortedCount(), 1);
    EXPECT_EQ(api->runs.waiting(), 0);
    EXPECT_EQ(scheduler.pendingCount(), 0);
    scheduler.advance(3600);
    EXPECT_EQ(api->runs.arguments.size(), 3); // stopped: no further poll
    EXPECT_EQ(module->errorText(), loadError);
    EXPECT_EQ(module->compactStatus(), (ModuleStatus { QStringLiteral("CI \u00B7 main"), Color::green() }));

    module->start();
    EXPECT_EQ(api->runs.arguments.size(), 4);
    EXPECT_EQ(module->errorText(), loadError); // unchanged until this poll ends
    EXPECT_EQ(answer(GitHubError::http(502)), 120); // the back-off goes on from the old count

    // A start while running replaces the loop: the waiting pause is dropped, a poll goes out now.
    module->start();
    EXPECT_EQ(api->runs.arguments.size(), 5);
    EXPECT_EQ(scheduler.pendingCount(), 0);
    module->start();
    EXPECT_EQ(api->runs.abortedCount(), 2);
    EXPECT_EQ(api->runs.waiting(), 1);
}

TEST_F(GitHubActionsModuleTest, AGoneModuleLeavesNoPauseBehind)
{
    module->start();
    answer(QList<WorkflowRun> {});
    EXPECT_EQ(scheduler.pendingCount(), 1);
    module.reset();
    EXPECT_EQ(scheduler.pendingCount(), 0);
    scheduler.advance(600); // nothing runs against the freed module
}

} // namespace

// The Actions module against a fake API: the pause each answer asks for, the watched list and its
// filters followed as they change, rows, announcements (none while muted) and a refused token.
#include "GitHubModuleFixture.h"
#include "QtPrinters.h"
#include "Runs.h"

#include "modules/github_actions/GitHubActionsModule.h"

namespace {

class GitHubActionsModuleTest : public GitHubModuleFixture<GitHubActionsModule> {
protected:
    // Answers the waiting poll of `repo` and returns the pause before its next one.
    double answer(const GitHubResult<QList<WorkflowRun>> &result, const QString &repo = QStringLiteral("o/r"))
    {
        EXPECT_TRUE(api->runs.answer(result, QStringLiteral("repos/%1/actions/runs?per_page=10").arg(repo)));
        return scheduler.nextDelay();
    }
    // Lets the pause run out, so that the next poll goes out.
    void nextPoll() { scheduler.advance(scheduler.nextDelay()); }
};

// When to poll after a failure, after GitHub's wait or with a new token is the watcher's test.
TEST_F(GitHubActionsModuleTest, PausesFollowActiveRunsAndTheLastFailureShowsUntilAnAnswer)
{
    module->start();
    const WorkflowRun done = run("CI main completed success");
    EXPECT_EQ(answer(QList { done, run("CI main in_progress") }), 15) << "active anywhere, not only first";
    nextPoll();
    EXPECT_EQ(answer(GitHubError::missingToken()), 60);
    EXPECT_EQ(module->errorText(), QStringLiteral("Kein GitHub-Token hinterlegt."));
    nextPoll();
    module->stop();
    EXPECT_EQ(api->runs.abortedCount(), 1);
    module->start();
    credentials.markRefused(QStringLiteral("ghp_test")); // what the real client does on a 401
    EXPECT_EQ(module->overlayRows().at(0).detail, GitHubCredentials::refusedText());
    EXPECT_EQ(module->overlayRows().at(0).pane, QStringLiteral("githubAccount")) << "a new token is saved there";
    ASSERT_TRUE(api->runs.deliver(Polled(QList { done }, true)));
    EXPECT_EQ(scheduler.nextDelay(), 15) << "unchanged: a success, the run still active";
    credentials.setToken(QStringLiteral("ghp_new"));
    EXPECT_EQ(module->errorText(), std::nullopt);
}

TEST_F(GitHubActionsModuleTest, FollowsTheWatchedListWithItsFiltersAndAnnouncesUnmutedNewsAfterEachFirstAnswer)
{
    module->start();
    const WorkflowRun broken = run("CI main completed failure 1");
    answer(QList { broken });
    nextPoll();
    const WorkflowRun lint = run("Lint main completed failure 2");
    answer(QList { lint, broken });
    ASSERT_EQ(events.size(), 1);
    EXPECT_EQ(events[0].link, lint.htmlURL) << "the run's page";
    EXPECT_EQ(takeTexts(), QStringList({ QStringLiteral("Lint fehlgeschlagen \u00B7 main") }))
        << "what the first answer found was there before";

    watch({ QStringLiteral("o/r"), QStringLiteral("O/B") }); // b is asked at once
    WorkflowRun deploy = run("Deploy main in_progress - 5 mallory/r"); // from a fork
    deploy.repository = QStringLiteral("o/b"); // the row takes GitHub's spelling
    EXPECT_EQ(answer(QList { deploy, run("CI main completed failure 4") }, QStringLiteral("O/B")), 15);
    EXPECT_TRUE(events.isEmpty());
    scheduler.advance(60);
    answer(GitHubError::http(404));
    EXPECT_EQ(module->errorText(), QStringLiteral("o/r: Repository nicht gefunden oder kein Zugriff"));
    EXPECT_EQ(module->overlayRows().at(0).pane, module->id()) << "the list to mend it in";
    EXPECT_EQ(module->overlayRows().at(1),
        (ModuleRow { QStringLiteral("Deploy \u00B7 b"), QStringLiteral("mallory:main \u00B7 l\u00E4uft"),
            deploy.updatedAt, Color::orange(), deploy.htmlURL }));

    // Dropping b drops its poll in flight.
    watch({ QStringLiteral("o/r") });
    EXPECT_EQ(api->runs.abortedCount(), 1);

    // Muting asks nothing new; a branch is asked of GitHub at once, and its first answer only recorded.
    const auto setOptions = [&](const QVariantMap &options) {
        prefs.store->setValue(
            AppPreferences::gitHubRepositoryOptions, QVariantMap { { QStringLiteral("O/R"), options } });
    };
    const qsizetype asked = api->runs.arguments.size();
    setOptions({ { QStringLiteral("muted"), true } });
    EXPECT_EQ(api->runs.arguments.size(), asked);
    setOptions(
        { { QStringLiteral("muted"), true }, { QStringLiteral("branches"), QStringList { QStringLiteral("main") } } });
    ASSERT_TRUE(
        api->runs.answer(QList { run("CI main completed failure 7"), run("CI main completed success 6 mallory/r") },
            QStringLiteral("repos/o/r/actions/runs?per_page=10&branch=main")));
    EXPECT_EQ(module->runs(QStringLiteral("o/r")).size(), 1) << "a fork's main is not the repository's";
    nextPoll();
    ASSERT_TRUE(api->runs.answer(QList { run("Lint main completed failure 8") }));
    EXPECT_TRUE(events.isEmpty()) << "muted";
    setOptions({ { QStringLiteral("branches"), QStringLiteral("main") } });
    EXPECT_EQ(api->runs.arguments.size(), asked + 2) << "unmuting asks nothing new either";
    nextPoll();
    ASSERT_TRUE(api->runs.answer(QList { run("Lint main completed success 9") }));
    EXPECT_EQ(takeTexts(), QStringList({ QStringLiteral("Lint wieder erfolgreich \u00B7 main") }));

    // A workflow by name and a wildcard are sifted here, from a longer page; the row sees only what passes.
    setOptions({ { QStringLiteral("branches"), QStringList { QStringLiteral("release/*"), QStringLiteral("dev") } },
        { QStringLiteral("workflow"), QStringLiteral("deploy") } });
    const WorkflowRun release = run("Deploy release/2 completed failure 12");
    ASSERT_TRUE(api->runs.answer(
        QList { run("CI release/2 completed failure 13"), release, run("Deploy main completed failure 11") },
        QStringLiteral("repos/o/r/actions/runs?per_page=50")));
    EXPECT_EQ(module->runs(QStringLiteral("o/r")), QList { release });
    EXPECT_EQ(module->compactStatus()->text, QStringLiteral("Deploy \u00B7 release/2"));
    setOptions({ { QStringLiteral("workflow"), QStringLiteral(".github/workflows/ci.yml") } });
    EXPECT_EQ(api->runs.waitingArguments(),
        QStringList { QStringLiteral("repos/o/r/actions/workflows/ci.yml/runs?per_page=10") });
}

} // namespace

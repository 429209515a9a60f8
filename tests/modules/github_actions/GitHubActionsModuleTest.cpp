// The Actions module against a fake API: pauses and back-off per repository, the watched list
// followed as it changes, rows, announcements and a refused token.
#include "GitHubModuleFixture.h"
#include "QtPrinters.h"
#include "Runs.h"

#include "modules/github_actions/GitHubActionsModule.h"

#include <QSignalSpy>

namespace {

class GitHubActionsModuleTest : public GitHubModuleFixture<GitHubActionsModule> {
protected:
    // Answers the waiting poll of `repo` and returns the pause before its next one.
    double answer(const GitHubResult<QList<WorkflowRun>> &result, const QString &repo = QStringLiteral("o/r"))
    {
        EXPECT_TRUE(api->runs.answer(result, repo + QStringLiteral("?per_page=10")));
        return scheduler.nextDelay();
    }
    // Lets the pause run out, so that the next poll goes out.
    void nextPoll() { scheduler.advance(scheduler.nextDelay()); }
};

TEST_F(GitHubActionsModuleTest, Polls15sWhileAnyRunIsActiveElse60sAndBacksOffAfterFailures)
{
    module->start();
    EXPECT_EQ(api->runs.arguments, QStringList({ QStringLiteral("o/r?per_page=10") }));
    const struct {
        GitHubResult<QList<WorkflowRun>> result;
        double pause;
    } polls[] = {
        { QList { run("CI main completed success"), run("CI main in_progress") }, 15 }, // active anywhere, not only first
        { QList { run("CI main completed success") }, 60 },
        { GitHubError::http(500), 60 },
        { GitHubError::http(500), 120 },
        { QList { run("CI main completed") }, 60 }, // a success resets the count
        { GitHubError::missingToken(), 60 },
    };
    for (const auto &poll : polls) {
        EXPECT_EQ(answer(poll.result), poll.pause);
        nextPoll();
    }
    EXPECT_EQ(module->errorText(), QStringLiteral("Kein GitHub-Token hinterlegt."));
}

TEST_F(GitHubActionsModuleTest, FollowsTheWatchedListAndKeepsEachRepositoryApart)
{
    EXPECT_EQ(module->overlayRows().at(0).detail, QStringLiteral("L\u00E4dt \u2026"));
    module->start();
    watch({ QStringLiteral("o/r"), QStringLiteral("https://github.com/o/b.git"), QStringLiteral("not a repo") });
    EXPECT_EQ(module->repositories(), QStringList({ QStringLiteral("o/r"), QStringLiteral("o/b") }));
    EXPECT_EQ(api->runs.waitingArguments(),
        QStringList({ QStringLiteral("o/r?per_page=10"), QStringLiteral("o/b?per_page=10") })); // b asked at once

    const WorkflowRun deploy = run("Deploy main in_progress - 5");
    EXPECT_EQ(answer(QList { deploy }, QStringLiteral("o/b")), 15);
    EXPECT_EQ(answer(GitHubError::http(404)), 15); // r's back-off waits behind b's short pause
    EXPECT_EQ(module->runs(QStringLiteral("o/b")), QList { deploy });
    EXPECT_EQ(module->overlayRows(),
        QList<ModuleRow>({ { QStringLiteral("o/r"), QStringLiteral("Repository nicht gefunden oder kein Zugriff"),
                               std::nullopt, Color::gray(), {} },
            { QStringLiteral("Deploy \u00B7 b"), QStringLiteral("main \u00B7 l\u00E4uft"), deploy.updatedAt,
                Color::orange(), deploy.htmlURL } }));
    EXPECT_EQ(module->errorText(), QStringLiteral("o/r: Repository nicht gefunden oder kein Zugriff"));
    QStringList groups;
    for (const ModuleDetail &detail : module->details())
        groups << detail.group;
    EXPECT_EQ(groups, QStringList({ QStringLiteral("o/r"), QStringLiteral("o/b") }));

    // Dropping b drops its poll in flight and asks it no more.
    scheduler.advance(15);
    ASSERT_EQ(api->runs.waitingArguments(), QStringList({ QStringLiteral("o/b?per_page=10") }));
    watch({ QStringLiteral("o/r") });
    EXPECT_EQ(api->runs.waiting(), 0);
    scheduler.advance(3600);
    EXPECT_FALSE(api->runs.arguments.mid(3).contains(QStringLiteral("o/b?per_page=10")));
    watch({});
    EXPECT_EQ(module->overlayRows().at(0).title, QStringLiteral("Kein Repository ausgew\u00E4hlt"));
}

TEST_F(GitHubActionsModuleTest, AnnouncesNewsButNothingFoundByARepositorysFirstAnswer)
{
    module->start();
    const WorkflowRun broken = run("CI main completed failure 1");
    answer(QList { broken });
    EXPECT_TRUE(events.isEmpty()) << "there before: not news";
    nextPoll();
    answer(QList { run("Lint main completed failure 2"), broken });
    ASSERT_EQ(events.size(), 1);
    EXPECT_EQ(events[0].color, Color::red());
    EXPECT_EQ(takeTexts(), QStringList({ QStringLiteral("Lint fehlgeschlagen \u00B7 main") }));

    // A repository added later starts with a silent first answer of its own.
    watch({ QStringLiteral("o/r"), QStringLiteral("o/b") });
    answer(QList { run("CI main completed failure 5") }, QStringLiteral("o/b"));
    EXPECT_TRUE(events.isEmpty());
}

TEST_F(GitHubActionsModuleTest, UnchangedAnswersAndGitHubsWaitSetThePauseWithoutBackingOff)
{
    module->start();
    const WorkflowRun waiting = run("CI main waiting");
    answer(QList { waiting });
    nextPoll();
    answer(GitHubError::http(500));
    nextPoll();

    // Unchanged: the kept runs stand, the error goes, and the pause is a success's.
    QSignalSpy changes(module.get(), &DevModule::willChange);
    ASSERT_TRUE(api->runs.deliver(Polled(QList { waiting }, true)));
    EXPECT_EQ(scheduler.nextDelay(), 15);
    EXPECT_EQ(module->errorText(), std::nullopt);
    EXPECT_EQ(changes.size(), 1);
    nextPoll();
    ASSERT_TRUE(api->runs.deliver(Polled(QList { waiting }, true)));
    EXPECT_EQ(changes.size(), 1) << "nothing changed, nothing announced";

    // GitHub asks to wait: the status line says until when, and the next poll comes then.
    nextPoll();
    const QDateTime until = QDateTime::currentDateTimeUtc().addSecs(900);
    credentials.markLimited(QStringLiteral("ghp_test"), until);
    EXPECT_NEAR(answer(GitHubError::rateLimited(until.toSecsSinceEpoch())), 900, 5);
    EXPECT_EQ(module->compactStatus(), (ModuleStatus { GitHubCredentials::limitText(until), Color::gray() }));
    nextPoll();
    EXPECT_EQ(answer(GitHubError::http(500)), 60) << "the wait did not count as a failure";
}

TEST_F(GitHubActionsModuleTest, StopKeepsStateAndBackOffAndANewTokenIsTriedAtOnce)
{
    module->start();
    answer(QList { run("CI main completed success") });
    nextPoll();
    answer(GitHubError::http(502)); // one failure so far
    nextPoll();
    module->stop();
    EXPECT_EQ(api->runs.abortedCount(), 1);
    EXPECT_EQ(module->errorText(), QStringLiteral("L\u00E4ufe konnten nicht geladen werden."));
    const ModuleStatus ci { QStringLiteral("CI \u00B7 main"), Color::green() };
    EXPECT_EQ(module->compactStatus(), ci);
    module->start();
    EXPECT_EQ(answer(GitHubError::http(502)), 120); // the back-off goes on from the old count
    module->start(); // a start while a poll is in flight drops it
    module->start();
    EXPECT_EQ(api->runs.abortedCount(), 2);

    answer(GitHubError::http(401));
    credentials.markRefused(QStringLiteral("ghp_test")); // what the real client does on a 401
    const QString refused = GitHubCredentials::refusedText();
    EXPECT_EQ(module->compactStatus(), (ModuleStatus { refused, Color::gray() }));
    EXPECT_EQ(module->errorText(), refused);
    EXPECT_EQ(module->overlayRows().at(0).detail, refused);
    QSignalSpy changes(module.get(), &DevModule::willChange);
    credentials.setToken(QStringLiteral("ghp_new"));
    EXPECT_GE(changes.size(), 1);
    EXPECT_EQ(api->runs.waiting(), 1) << "the failed repository asks again without waiting out its pause";
    answer(QList { run("CI main completed success") });
    EXPECT_EQ(module->compactStatus(), ci);
}

} // namespace

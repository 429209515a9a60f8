// The Actions module's poll loops on the manual scheduler against a fake API: pauses, back-off,
// the watched list followed as it changes, the attention rule, rows, announcements and a refused
// token.
#include "FakeGitHubApi.h"
#include "ManualScheduler.h"
#include "QtPrinters.h"
#include "TempPreferences.h"

#include "core/prefs/AppPreferences.h"
#include "modules/github_actions/GitHubActionsModule.h"
#include "services/GitHubCredentials.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

namespace {

const QString loadError = QStringLiteral("L\u00E4ufe konnten nicht geladen werden.");
const QString completed = QStringLiteral("completed");
const QString success = QStringLiteral("success");
const QString failure = QStringLiteral("failure");

// A run created `minute` minutes into the day: a later minute is a newer run.
WorkflowRun run(std::optional<QString> status, std::optional<QString> conclusion = std::nullopt, int minute = 0,
    std::optional<QString> name = QStringLiteral("CI"), std::optional<QString> branch = QStringLiteral("main"))
{
    static qint64 nextId = 1;
    WorkflowRun r;
    r.id = nextId++;
    r.name = std::move(name);
    r.headBranch = std::move(branch);
    r.status = std::move(status);
    r.conclusion = std::move(conclusion);
    r.createdAt = QDateTime(QDate(2026, 12, 8), QTime(0, 0), Qt::UTC).addSecs(60 * minute);
    r.updatedAt = r.createdAt.addSecs(30);
    r.htmlURL = QUrl(QStringLiteral("https://github.com/o/a/actions/runs/%1").arg(r.id));
    return r;
}

class GitHubActionsModuleTest : public ::testing::Test {
protected:
    GitHubActionsModuleTest()
    {
        AppPreferences::registerDefaults(*prefs.store);
        watch({ QStringLiteral("o/a") });
        auto fake = std::make_unique<FakeGitHubApi>();
        api = fake.get();
        module = std::make_unique<GitHubActionsModule>(*prefs.store, bus, std::move(fake), credentials, scheduler);
        bus.subscribe([this](const ModuleEvent &event) {
            EXPECT_EQ(event.moduleID, QStringLiteral("github.actions"));
            EXPECT_TRUE(event.shouldExpand);
            events.append(event);
        });
    }

    void watch(const QStringList &repos) { prefs.store->setValue(AppPreferences::gitHubRepositories, repos); }
    // Answers the waiting poll of `repo` and returns the pause before the next one.
    double answer(const GitHubResult<QList<WorkflowRun>> &result, const QString &repo = QStringLiteral("o/a"))
    {
        EXPECT_TRUE(api->runs.answer(result, repo + QStringLiteral("?per_page=10")));
        return scheduler.nextDelay();
    }
    // Lets the pause run out, so that the next poll goes out.
    void nextPoll()
    {
        const qsizetype before = api->runs.arguments.size();
        scheduler.advance(scheduler.nextDelay());
        EXPECT_EQ(api->runs.arguments.size(), before + 1);
    }

    TempPreferences prefs;
    EventBus bus;
    GitHubCredentials credentials { QStringLiteral("ghp_test") };
    ManualScheduler scheduler;
    FakeGitHubApi *api = nullptr;
    std::unique_ptr<GitHubActionsModule> module;
    QList<ModuleEvent> events;
};

TEST_F(GitHubActionsModuleTest, PollsAtOnceThenEvery15sWhileAnyRunIsActiveElse60s)
{
    EXPECT_TRUE(api->runs.arguments.isEmpty()); // nothing before start
    module->start();
    EXPECT_EQ(api->runs.arguments, QStringList({ QStringLiteral("o/a?per_page=10") }));
    EXPECT_EQ(scheduler.pendingCount(), 0); // the next pause counts from the end of this poll

    // An active run anywhere among them, not only the first, selects the short pause.
    EXPECT_EQ(answer(QList { run(completed, success), run(QStringLiteral("in_progress")) }), 15);
    scheduler.advance(14.9);
    EXPECT_EQ(api->runs.arguments.size(), 1);
    scheduler.advance(0.1);
    EXPECT_EQ(api->runs.arguments.size(), 2);
    EXPECT_EQ(answer(QList { run(completed), run(QStringLiteral("queued")) }), 15);
    nextPoll();
    EXPECT_EQ(answer(QList { run(completed, success) }), 60);
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
    EXPECT_EQ(answer(QList { run(completed) }), 60);
    nextPoll();
    EXPECT_EQ(answer(GitHubError::transport(3, QStringLiteral("refused"))), 60);
    nextPoll();
    EXPECT_EQ(answer(GitHubError::missingToken()), 120); // a missing token is a failure like any other
    EXPECT_EQ(module->errorText(), QStringLiteral("Kein GitHub-Token hinterlegt."));
}

TEST_F(GitHubActionsModuleTest, FollowsTheWatchedListAndKeepsEachRepositoryApart)
{
    module->start();
    watch({ QStringLiteral("o/a"), QStringLiteral("https://github.com/o/b.git"), QStringLiteral("not a repo") });
    EXPECT_EQ(module->repositories(), QStringList({ QStringLiteral("o/a"), QStringLiteral("o/b") }));
    EXPECT_EQ(api->runs.waitingArguments(),
        QStringList({ QStringLiteral("o/a?per_page=10"), QStringLiteral("o/b?per_page=10") })); // b asked at once
    EXPECT_EQ(module->overlayRows().at(1),
        (ModuleRow { QStringLiteral("o/b"), QStringLiteral("L\u00E4dt \u2026"), std::nullopt, Color::gray(), {} }));

    const WorkflowRun deploy = run(QStringLiteral("in_progress"), std::nullopt, 5, QStringLiteral("Deploy"));
    EXPECT_EQ(answer(QList { deploy }, QStringLiteral("o/b")), 15);
    EXPECT_EQ(answer(GitHubError::http(404)), 15); // a's back-off waits behind b's short pause
    EXPECT_EQ(module->runs(QStringLiteral("o/b")), QList { deploy });
    EXPECT_TRUE(module->runs(QStringLiteral("o/a")).isEmpty());
    const QList<ModuleRow> rows = module->overlayRows();
    ASSERT_EQ(rows.size(), 2);
    EXPECT_EQ(rows[0].detail, QStringLiteral("Repository nicht gefunden oder kein Zugriff"));
    EXPECT_EQ(rows[0].color, Color::gray());
    EXPECT_EQ(rows[1],
        (ModuleRow { QStringLiteral("Deploy \u00B7 b"), QStringLiteral("main \u00B7 l\u00E4uft"), deploy.updatedAt,
            Color::orange(), deploy.htmlURL }));
    EXPECT_EQ(module->errorText(), QStringLiteral("o/a: Repository nicht gefunden oder kein Zugriff"));
    const QList<ModuleDetail> details = module->details();
    ASSERT_EQ(details.size(), 2);
    EXPECT_EQ(details[0].group, QStringLiteral("o/a"));
    EXPECT_EQ(details[1].group, QStringLiteral("o/b"));
    EXPECT_EQ(details[1].row.link, deploy.htmlURL);

    // Dropping b stops asking it: its pause is gone and no answer of it is awaited.
    scheduler.advance(15);
    ASSERT_EQ(api->runs.waitingArguments(), QStringList({ QStringLiteral("o/b?per_page=10") }));
    watch({ QStringLiteral("o/a") });
    EXPECT_EQ(api->runs.waiting(), 0);
    scheduler.advance(3600);
    EXPECT_FALSE(api->runs.arguments.mid(3).contains(QStringLiteral("o/b?per_page=10")));
    EXPECT_EQ(module->overlayRows().size(), 1);
}

TEST_F(GitHubActionsModuleTest, TheStatusLineIsTheRunThatMostNeedsAttention)
{
    watch({ QStringLiteral("o/a"), QStringLiteral("o/b") });
    EXPECT_EQ(module->compactStatus(), std::nullopt);
    module->start();
    const auto status = [&](QList<WorkflowRun> a, QList<WorkflowRun> b) {
        answer(a, QStringLiteral("o/a"));
        answer(b, QStringLiteral("o/b"));
        scheduler.advance(60);
        return module->compactStatus();
    };
    const auto line = [](const char *text, Color color) { return ModuleStatus { QString::fromUtf8(text), color }; };

    // The newest of all, when nothing fails and nothing runs.
    EXPECT_EQ(status({ run(completed, success, 1, QStringLiteral("Old")) }, { run(completed, success, 2) }),
        line("CI \u00B7 main", Color::green()));
    // An active run wins over newer finished ones.
    EXPECT_EQ(status({ run(QStringLiteral("queued"), std::nullopt, 1, QStringLiteral("Build")) },
                  { run(completed, success, 2) }),
        line("Build \u00B7 main", Color::orange()));
    // A failure wins over everything, the newest one first, in whichever repository.
    EXPECT_EQ(status({ run(completed, QStringLiteral("timed_out"), 3, QStringLiteral("Lint")),
                         run(QStringLiteral("in_progress"), std::nullopt, 2) },
                  { run(completed, failure, 1, QStringLiteral("Test"), QStringLiteral("dev")) }),
        line("Lint \u00B7 main", Color::red()));
    // A failure that a later run of the same workflow and branch has followed is settled.
    EXPECT_EQ(status({ run(completed, success, 4, QStringLiteral("Lint")), run(completed, failure, 3, QStringLiteral("Lint")) },
                  { run(completed, success, 1) }),
        line("Lint \u00B7 main", Color::green()));

    // A later failed poll leaves the line as it was.
    answer(GitHubError::http(500), QStringLiteral("o/a"));
    EXPECT_EQ(module->compactStatus(), line("Lint \u00B7 main", Color::green()));
}

TEST_F(GitHubActionsModuleTest, AnnouncesFailuresAndRecoveriesButNothingFoundByTheFirstAnswer)
{
    module->start();
    const WorkflowRun broken = run(completed, failure, 1);
    answer(QList { broken, run(completed, failure, 0, QStringLiteral("Lint")) });
    EXPECT_TRUE(events.isEmpty()) << "there before: not news";

    const WorkflowRun fixing = run(QStringLiteral("in_progress"), std::nullopt, 2);
    nextPoll();
    answer(QList { fixing, broken });
    EXPECT_TRUE(events.isEmpty());

    WorkflowRun fixed = fixing;
    fixed.status = completed;
    fixed.conclusion = success;
    const WorkflowRun lintDev = run(completed, failure, 3, QStringLiteral("Lint"), QStringLiteral("dev"));
    nextPoll();
    answer(QList { lintDev, fixed, broken });
    ASSERT_EQ(events.size(), 2);
    EXPECT_EQ(events[0].text, QStringLiteral("CI wieder erfolgreich \u00B7 main")); // oldest first
    EXPECT_EQ(events[0].color, Color::green());
    EXPECT_EQ(events[1].text, QStringLiteral("Lint fehlgeschlagen \u00B7 dev"));
    EXPECT_EQ(events[1].color, Color::red());

    // A success after a success is no news, and a run already announced is not announced again.
    events.clear();
    nextPoll();
    answer(QList { run(completed, success, 4), lintDev, fixed, broken });
    EXPECT_TRUE(events.isEmpty());

    // A repository added later starts with a silent first answer of its own.
    watch({ QStringLiteral("o/a"), QStringLiteral("o/b") });
    answer(QList { run(completed, failure, 5) }, QStringLiteral("o/b"));
    EXPECT_TRUE(events.isEmpty());
}

TEST_F(GitHubActionsModuleTest, ARefusedTokenIsShownUntilANewOneIsSetWhichIsTriedAtOnce)
{
    module->start();
    answer(QList { run(completed, success) });
    nextPoll();
    answer(GitHubError::http(401));
    credentials.markRefused(QStringLiteral("ghp_test")); // what the real client does on a 401
    const QString refused = GitHubCredentials::refusedText();
    EXPECT_EQ(module->compactStatus(), (ModuleStatus { refused, Color::gray() }));
    EXPECT_EQ(module->errorText(), refused);
    EXPECT_EQ(module->overlayRows().at(0).detail, refused);
    EXPECT_EQ(scheduler.nextDelay(), 60);

    QSignalSpy changes(module.get(), &DevModule::willChange);
    credentials.setToken(QStringLiteral("ghp_new"));
    EXPECT_GE(changes.size(), 1);
    EXPECT_EQ(api->runs.waiting(), 1) << "the failed repository asks again without waiting out its pause";
    answer(QList { run(completed, success) });
    EXPECT_EQ(module->compactStatus(), (ModuleStatus { QStringLiteral("CI \u00B7 main"), Color::green() }));
}

TEST_F(GitHubActionsModuleTest, UnchangedAnswersAndGitHubsWaitSetThePauseWithoutBackingOff)
{
    module->start();
    const WorkflowRun waiting = run(QStringLiteral("waiting"));
    EXPECT_EQ(answer(QList { waiting }), 15) << "a run waiting for approval is active";
    nextPoll();
    EXPECT_EQ(answer(GitHubError::http(500)), 60);
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

    // GitHub asks to wait: every line says until when, and the next poll comes then.
    nextPoll();
    const QDateTime until = QDateTime::currentDateTimeUtc().addSecs(900);
    credentials.markLimited(QStringLiteral("ghp_test"), until);
    EXPECT_NEAR(answer(GitHubError::rateLimited(until.toSecsSinceEpoch())), 900, 5);
    const QString wait = GitHubCredentials::limitText(until);
    EXPECT_EQ(module->compactStatus(), (ModuleStatus { wait, Color::gray() }));
    EXPECT_EQ(module->overlayRows().at(0).detail, wait);
    nextPoll();
    EXPECT_EQ(answer(GitHubError::http(500)), 60) << "the wait did not count as a failure";
}

TEST_F(GitHubActionsModuleTest, StopDropsTheRequestInFlightAndKeepsStateAndBackOff)
{
    module->start();
    answer(QList { run(completed, success) });
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

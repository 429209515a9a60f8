// Both GitLab modules with their real client against a local HTTPS server answering as GitLab.
#include "FakeGitLab.h"
#include "ManualScheduler.h"
#include "TempPreferences.h"

#include "core/EventBus.h"
#include "integrations/gitlab/GitLabCredentials.h"
#include "integrations/gitlab/GitLabErrorText.h"
#include "integrations/gitlab/GitLabProjects.h"
#include "modules/gitlab_pipelines/GitLabPipelinesModule.h"
#include "modules/gitlab_pipelines/PipelineState.h"
#include "modules/gitlab_todos/GitLabTodosModule.h"
#include "services/ApiBudget.h"

#include <gtest/gtest.h>

namespace {

using namespace Qt::StringLiterals;
using Response = HttpsTestServer::Response;

class GitLabModulesTest : public ::testing::Test {
protected:
    GitLabModulesTest()
    {
        bus.subscribe([this](const ModuleEvent &event) { events.append(event); });
    }

    void answerPipelines(const QList<QByteArray> &pipelines)
    {
        gitlab.server.setResponse(u"/api/v4/projects/7/pipelines"_s, Response::json(FakeGitLab::list(pipelines)));
    }
    // The next poll, in its time.
    void nextPoll()
    {
        scheduler.advance(scheduler.nextDelay());
        gitlab.settle();
    }
    QStringList texts()
    {
        QStringList texts;
        for (const ModuleEvent &event : std::exchange(events, {}))
            texts.append(event.text);
        return texts;
    }

    FakeGitLab gitlab;
    TempPreferences prefs;
    EventBus bus;
    QList<ModuleEvent> events;
    GitLabCredentials credentials { u"glpat-token"_s };
    ManualScheduler scheduler;
    ApiBudget budget { credentials, scheduler };
};

TEST_F(GitLabModulesTest, PipelinesOfTheDefaultBranchAnnounceFailingAndPassingAgainAndTakeOneCommandPerPress)
{
    GitLabPipelinesModule module { *prefs.store, bus,
        std::make_unique<GitLabClient>(gitlab.network, credentials, gitlab.endpoint()), credentials, scheduler };
    module.start();
    gitlab.settle();
    EXPECT_TRUE(module.overlayRows().isEmpty() && !module.compactStatus()) << "off until a project is added";
    EXPECT_TRUE(gitlab.sent().isEmpty());

    gitlab.server.setResponse(u"/api/v4/projects/grp%2Fsub%2Fapp"_s, Response::json(FakeGitLab::project));
    answerPipelines({ FakeGitLab::pipeline(121, "running"), FakeGitLab::pipeline(120, "success") });
    prefs.store->setValue(GitLabProjects::listKey, QStringList { u"https://gitlab.com/grp/sub/app/-/pipelines"_s });
    gitlab.settle();
    scheduler.runDue();
    gitlab.settle();
    EXPECT_EQ(gitlab.sent(),
        QStringList(
            { u"GET /api/v4/projects/grp%2Fsub%2Fapp"_s, u"GET /api/v4/projects/7/pipelines?per_page=10&ref=main"_s }));
    ASSERT_EQ(module.overlayRows().size(), 1);
    EXPECT_EQ(module.overlayRows()[0].title, u"app"_s);
    EXPECT_EQ(module.overlayRows()[0].detail, u"main · läuft"_s);
    EXPECT_EQ(module.compactStatus()->severity, ModuleStatus::Severity::Active);
    EXPECT_EQ(scheduler.nextDelay(), 15) << "a running pipeline is followed closely";
    EXPECT_TRUE(events.isEmpty()) << "the first answer is only recorded";
    EXPECT_EQ(module.counts(), (ModuleCounts { .activeRuns = 1 }));

    answerPipelines({ FakeGitLab::pipeline(121, "failed"), FakeGitLab::pipeline(120, "success") });
    nextPoll();
    EXPECT_EQ(texts(), QStringList { u"Pipeline fehlgeschlagen: grp/sub/app · main"_s });
    EXPECT_EQ(module.counts(), (ModuleCounts { .failedRuns = 1 }));
    answerPipelines({ FakeGitLab::pipeline(122, "success"), FakeGitLab::pipeline(121, "failed") });
    nextPoll();
    EXPECT_EQ(texts(), QStringList { u"Pipeline wieder erfolgreich: grp/sub/app · main"_s });

    // The failed pipeline offers a retry: one press, one request, and the poll follows at once; a
    // refused cancel is said beside it and not sent again.
    answerPipelines({ FakeGitLab::pipeline(123, "pending"), FakeGitLab::pipeline(121, "failed") });
    nextPoll();
    gitlab.sent();
    gitlab.server.setResponse(u"/api/v4/projects/7/pipelines/121/retry"_s, Response::json("{}", 201));
    gitlab.server.setResponse(u"/api/v4/projects/7/pipelines/123/cancel"_s, Response::json("{}", 403));
    QList<ModuleDetail> details = module.details();
    ASSERT_EQ(details.size(), 2);
    ASSERT_EQ(details[1].commands.size(), 1);
    EXPECT_EQ(details[1].commands[0].label, u"Erneut ausführen"_s);
    details[1].commands[0].run();
    details[1].commands[0].run();
    gitlab.settle();
    EXPECT_EQ(gitlab.sent(),
        QStringList({ u"POST /api/v4/projects/7/pipelines/121/retry"_s,
            u"GET /api/v4/projects/7/pipelines?per_page=10&ref=main"_s }));
    module.details()[0].commands[0].run();
    gitlab.settle();
    nextPoll();
    EXPECT_EQ(gitlab.sent(),
        QStringList({ u"POST /api/v4/projects/7/pipelines/123/cancel"_s,
            u"GET /api/v4/projects/7/pipelines?per_page=10&ref=main"_s }));
    EXPECT_EQ(module.details()[0].message,
        u"Der Token darf das nicht (Scope api und mindestens die Rolle Developer nötig)."_s);

    // Without a token the row says so and opens the account pane.
    credentials.setToken(std::nullopt);
    nextPoll();
    EXPECT_EQ(module.overlayRows()[0].detail, u"Kein GitLab-Token hinterlegt."_s);
    EXPECT_EQ(module.overlayRows()[0].pane, GitLabErrorText::accountPane);
}

// Only a pipeline that finished since the last answer is news: a success after a cancelled one is
// no fix, and a failure older than everything seen before finished before it was watched.
TEST(PipelineStateTest, OnlyPipelinesFinishedSinceTheLastAnswerAreNews)
{
    const auto pipelines = [](const QByteArray &json) { return GitLabPipeline::decodeList(json); };
    const QList<GitLabPipeline> seen = pipelines(FakeGitLab::list({ FakeGitLab::pipeline(130, "running") }));
    EXPECT_TRUE(PipelineState::finishedSince(seen,
        pipelines(FakeGitLab::list({ FakeGitLab::pipeline(131, "success"), FakeGitLab::pipeline(130, "canceled"),
            FakeGitLab::pipeline(129, "failed") })),
        u"app"_s)
                    .isEmpty());
    const QList<PipelineState::News> news = PipelineState::finishedSince(seen,
        pipelines(FakeGitLab::list({ FakeGitLab::pipeline(131, "success"), FakeGitLab::pipeline(130, "failed") })),
        u"app"_s);
    ASSERT_EQ(news.size(), 2);
    EXPECT_EQ(news[0].kind, PipelineState::pipelineFailed) << "oldest first";
    EXPECT_EQ(news[1].text, u"Pipeline wieder erfolgreich: app · main"_s);
}

TEST_F(GitLabModulesTest, NewTodosAreAnnouncedInTheirOwnWordsAndOpeningOneMarksItDone)
{
    GitLabTodosModule module { *prefs.store, bus,
        std::make_unique<GitLabClient>(gitlab.network, credentials, gitlab.endpoint()), credentials, scheduler };
    gitlab.server.setResponse(
        u"/api/v4/todos"_s, Response::json(FakeGitLab::list({ FakeGitLab::todo(1, "assigned", "Old") })));
    module.start();
    gitlab.settle();
    EXPECT_TRUE(events.isEmpty()) << "what is there at the start is only recorded";
    gitlab.server.setResponse(u"/api/v4/todos"_s,
        Response::json(FakeGitLab::list(
            { FakeGitLab::todo(4, "merge_train_removed", "Train"), FakeGitLab::todo(3, "unknown_action", "Quiet"),
                FakeGitLab::todo(2, "review_requested", "Fix <b>it</b>"), FakeGitLab::todo(1, "assigned", "Old") })));
    nextPoll();
    EXPECT_EQ(texts(), QStringList({ u"Review angefragt: Fix <b>it</b>"_s, u"Aus dem Merge Train entfernt: Train"_s }));
    QList<ModuleRow> rows = module.overlayRows();
    ASSERT_EQ(rows.size(), 2);
    EXPECT_EQ(rows[0].link, QUrl(u"https://gitlab.com/grp/sub/app/-/merge_requests/3"_s));
    EXPECT_EQ(rows[0].actions.secondaryName, u"Als erledigt markieren"_s);
    EXPECT_EQ(module.counts().newsForYou, 2) << "the review request and the assignment, old or new";
    gitlab.sent();
    gitlab.server.setResponse(u"/api/v4/todos/4/mark_as_done"_s, Response::json("{}", 200));
    rows[0].actions.opened();
    rows[0].actions.secondary();
    gitlab.settle();
    EXPECT_EQ(gitlab.sent(), QStringList { u"POST /api/v4/todos/4/mark_as_done"_s }) << "asked once";
    EXPECT_EQ(module.overlayRows().size(), 1);

    // Another token may be another user's: its first answer is only recorded again.
    credentials.setToken(u"glpat-other"_s);
    gitlab.settle();
    EXPECT_TRUE(module.overlayRows().isEmpty() && events.isEmpty());
    credentials.setToken(std::nullopt);
    EXPECT_TRUE(module.overlayRows().isEmpty()) << "no token and no project: GitLab is not in use";
    prefs.store->setValue(GitLabProjects::listKey, QStringList { u"grp/app"_s });
    ASSERT_EQ(module.overlayRows().size(), 1) << "without a token, one row says so";
    EXPECT_EQ(module.overlayRows()[0].pane, GitLabErrorText::accountPane);
}

} // namespace

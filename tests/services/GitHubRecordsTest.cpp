// What each GitHub record reads from a full-size answer of the API (the decoding rules themselves
// are JsonReader's).
#include "Fixture.h"
#include "QtPrinters.h"

#include "services/GitHubNotification.h"
#include "services/JsonReader.h"
#include "services/WorkflowRun.h"

#include <gtest/gtest.h>

namespace {

QByteArray fixture(const char *name)
{
    return readFixture(TARNLET_MODULE_FIXTURES, name);
}

TEST(WorkflowRun, DecodesAFullSizePageInOrderKeepingUnknownWords)
{
    const QList<WorkflowRun> runs
        = WorkflowRunsResponse::decode(fixture("github_actions/data/workflow_runs_page.json")).workflowRuns;
    ASSERT_EQ(runs.size(), 10);
    WorkflowRun first;
    first.id = 12194736000;
    first.name = QStringLiteral("CI");
    first.headBranch = QStringLiteral("main");
    first.status = QStringLiteral("in_progress");
    first.createdAt = QDateTime(QDate(2026, 12, 7), QTime(8, 0, 0), Qt::UTC);
    first.updatedAt = QDateTime(QDate(2026, 12, 7), QTime(8, 4, 9), Qt::UTC);
    first.htmlURL = QUrl(QStringLiteral("https://github.com/octo-org/hello-world/actions/runs/12194736000"));
    EXPECT_EQ(runs[0], first);
    EXPECT_EQ(runs[2].conclusion, QStringLiteral("failure"));
}

TEST(GitHubNotification, DecodesAFullSizeAnswer)
{
    const QList<GitHubNotification> all
        = GitHubNotification::decodeList(fixture("github_pull_requests/data/notifications_page.json"));
    ASSERT_EQ(all.size(), 50);
    GitHubNotification first;
    first.id = QStringLiteral("11100000000");
    first.reason = QStringLiteral("review_requested");
    first.subject = { QStringLiteral("Fix flaky retry in the uploader (0) \u2014 \u201Cquotes\u201D & \u00FCmlauts"),
        QStringLiteral("PullRequest"), QUrl(QStringLiteral("https://api.github.com/repos/octo-org/hello-world/pulls/1300")) };
    first.repository.fullName = QStringLiteral("octo-org/hello-world");
    EXPECT_EQ(all[0], first);
}

TEST(PullRequestState, MergedExactlyWhenMergedAtHoldsADateTime)
{
    const PullRequestState merged = PullRequestState::decode(fixture("github_pull_requests/data/pull_request_merged.json"));
    EXPECT_EQ(merged.mergedAt, QDateTime(QDate(2026, 12, 7), QTime(15, 2, 9), Qt::UTC));
    EXPECT_TRUE(merged.isMerged());
    EXPECT_FALSE(PullRequestState::decode(fixture("github_pull_requests/data/pull_request_closed.json")).isMerged());
    EXPECT_THROW(PullRequestState::decode(R"({"merged_at": "yesterday"})"), JsonDecodeError);
}

} // namespace

// Decoding notification threads and pull request states: exact keys in a fixed order, one
// broken thread failing the whole answer.
#include "Fixture.h"
#include "QtPrinters.h"

#include "services/GitHubNotification.h"
#include "services/JsonReader.h"


#include <gtest/gtest.h>

namespace {

QByteArray fixture(const char *name)
{
    return readFixture(TARNLET_FIXTURES, name);
}

template<typename Decode> std::string failingKey(Decode decode, const QByteArray &body)
{
    try {
        decode(body);
        return "(decoded)";
    } catch (const JsonDecodeError &error) {
        return error.path().toStdString();
    }
}

std::string failingNotificationKey(const QByteArray &body)
{
    return failingKey(&GitHubNotification::decodeList, body);
}

TEST(GitHubNotification, DecodesAFullSizeAnswerOfTheApi)
{
    const QList<GitHubNotification> all = GitHubNotification::decodeList(fixture("notifications_page.json"));
    ASSERT_EQ(all.size(), 50);
    const GitHubNotification &first = all[0];
    EXPECT_EQ(first.id, QStringLiteral("11100000000"));
    EXPECT_EQ(first.reason, QStringLiteral("review_requested"));
    EXPECT_EQ(first.subject.type, QStringLiteral("PullRequest"));
    EXPECT_EQ(first.subject.title,
        QStringLiteral("Fix flaky retry in the uploader (0) \u2014 \u201Cquotes\u201D & \u00FCmlauts"));
    EXPECT_EQ(first.subject.url, QUrl(QStringLiteral("https://api.github.com/repos/octo-org/hello-world/pulls/1300")));
    EXPECT_EQ(first.repository.fullName, QStringLiteral("octo-org/hello-world"));
    // Check suites have no subject address.
    const auto checkSuite
        = std::find_if(all.begin(), all.end(), [](const auto &n) { return n.subject.type == u"CheckSuite"; });
    ASSERT_NE(checkSuite, all.end());
    EXPECT_EQ(checkSuite->subject.url, std::nullopt);
}

TEST(GitHubNotification, RequiredKeysAndTheirOrder)
{
    EXPECT_TRUE(GitHubNotification::decodeList("[]").isEmpty());

    const QByteArray good
        = R"({"id": "1", "reason": "comment", "subject": {"title": "T", "type": "PullRequest", "url": null},
              "repository": {"full_name": "o/r", "id": 5}, "unread": true})";
    const QList<GitHubNotification> decoded = GitHubNotification::decodeList("[" + good + "]");
    ASSERT_EQ(decoded.size(), 1);
    EXPECT_EQ(decoded[0].subject.url, std::nullopt);
    EXPECT_EQ(decoded, GitHubNotification::decodeList(R"([{"reason": "comment", "id": "1",
        "subject": {"type": "PullRequest", "title": "T"}, "repository": {"full_name": "o/r"}}])"));

    EXPECT_EQ(failingNotificationKey("[" + good + R"(, {"id": "2", "reason": "comment",
        "subject": {"title": "T", "type": "PullRequest"}}])"),
        "[1].repository");
    EXPECT_EQ(failingNotificationKey(R"([{"id": "2", "reason": "x", "subject": {"title": "T", "type": "Issue"},
        "repository": {"name": "r"}}])"),
        "[0].repository.full_name");
    EXPECT_EQ(failingNotificationKey(R"([{"id": 2, "reason": "x"}])"), "[0].id"); // ids are strings
    EXPECT_EQ(failingNotificationKey(R"([{"id": "2", "reason": null, "subject": 1}])"), "[0].reason");
    EXPECT_EQ(failingNotificationKey(R"([{"id": "2", "reason": "x", "subject": {"title": "T", "type": "PullRequest",
        "url": "http://[broken"}, "repository": 1}])"),
        "[0].subject.url");
    EXPECT_EQ(failingNotificationKey(R"([{"id": "2", "reason": "x", "subject": {"type": 1}, "repository": 1}])"),
        "[0].subject.title");
    EXPECT_EQ(failingNotificationKey(R"({"id": "2"})"), ""); // the answer is an array
}

TEST(PullRequestState, MergedExactlyWhenMergedAtHoldsADateTime)
{
    const PullRequestState merged = PullRequestState::decode(fixture("pull_request_merged.json"));
    EXPECT_TRUE(merged.isMerged());
    EXPECT_EQ(merged.mergedAt, QDateTime(QDate(2026, 12, 7), QTime(15, 2, 9), Qt::UTC));
    EXPECT_FALSE(PullRequestState::decode(fixture("pull_request_closed.json")).isMerged());
    EXPECT_FALSE(PullRequestState::decode(R"({"state": "open"})").isMerged());
    EXPECT_EQ(failingKey(&PullRequestState::decode, R"({"merged_at": "yesterday"})"), "merged_at");
    EXPECT_EQ(failingKey(&PullRequestState::decode, R"({"merged_at": 1733580000})"), "merged_at");
}

} // namespace

// The pull-request module against a fake API on the manual scheduler: the silent baseline,
// announcing only threads the previous poll did not return, texts per reason, merge checks.
#include "GitHubModuleFixture.h"
#include "QtPrinters.h"

#include "modules/github_pull_requests/GitHubPullRequestsModule.h"

namespace {

GitHubNotification thread(const char *id, const char *reason, bool withUrl = true, const char *repo = "o/r")
{
    GitHubNotification n;
    n.id = QString::fromLatin1(id);
    n.reason = QString::fromLatin1(reason);
    n.subject.title = QStringLiteral("Title ") + n.id;
    n.subject.type = QStringLiteral("PullRequest");
    n.repository.fullName = QString::fromLatin1(repo);
    if (withUrl)
        n.subject.url = QUrl(QStringLiteral("https://api.github.com/repos/%1/pulls/%2").arg(n.repository.fullName, n.id));
    return n;
}

PullRequestState merged()
{
    return PullRequestState { QDateTime(QDate(2026, 12, 7), QTime(9, 0), Qt::UTC) };
}

class GitHubPullRequestsModuleTest : public GitHubModuleFixture<GitHubPullRequestsModule> {
protected:
    // Answers the waiting poll and lets the pause run out (which must be 60 s every time).
    void poll(const GitHubResult<QList<GitHubNotification>> &answer)
    {
        ASSERT_TRUE(api->notifications.answer(answer));
        ASSERT_EQ(api->pullRequests.waiting(), 0) << "a merge check is still waiting";
        ASSERT_EQ(scheduler.nextDelay(), 60);
        scheduler.advance(60);
        ASSERT_EQ(api->notifications.waiting(), 1);
    }
};

TEST_F(GitHubPullRequestsModuleTest, FirstAnswerIsABaselineThenOnlyThreadsMissingFromThePreviousPollAreAnnounced)
{
    module->start();
    poll(QList { thread("1", "review_requested"), thread("2", "comment") });
    EXPECT_TRUE(takeTexts().isEmpty());

    poll(QList { thread("1", "review_requested"), thread("3", "review_requested"), thread("2", "comment"),
        thread("4", "mention") });
    EXPECT_EQ(takeTexts(),
        QStringList(
            { QStringLiteral("Review angefragt: Title 3"), QStringLiteral("Neuer Review oder Kommentar: Title 4") }));

    poll(QList { thread("1", "review_requested"), thread("3", "comment") }); // still unread: said once
    EXPECT_TRUE(takeTexts().isEmpty());
    poll(QList { thread("1", "review_requested") }); // 3 was read
    poll(QList { thread("3", "comment"), thread("1", "review_requested") }); // and came back
    EXPECT_EQ(takeTexts(), QStringList({ QStringLiteral("Neuer Review oder Kommentar: Title 3") }));

    // The text depends on the exact reason; other reasons say nothing.
    poll(QList { thread("2", "author"), thread("5", "team_mention"), thread("6", "subscribed") });
    EXPECT_EQ(takeTexts(),
        QStringList({ QStringLiteral("Neuer Review oder Kommentar: Title 2"),
            QStringLiteral("Neuer Review oder Kommentar: Title 5") }));
    EXPECT_TRUE(api->pullRequests.arguments.isEmpty());
}

TEST_F(GitHubPullRequestsModuleTest, AStateChangeIsAnnouncedOnlyForAMergedPullRequestInAnswerOrder)
{
    module->start();
    poll(QList<GitHubNotification> {});
    ASSERT_TRUE(api->notifications.answer(QList { thread("1", "state_change"), thread("2", "state_change", false),
        thread("3", "state_change"), thread("4", "state_change"), thread("5", "review_requested") }));

    // One merge check at a time, in order; the thread without an address needs none.
    const QString pulls = QStringLiteral("https://api.github.com/repos/o/r/pulls/");
    EXPECT_EQ(api->pullRequests.arguments, QStringList({ pulls + u'1' }));
    EXPECT_TRUE(api->pullRequests.answer(merged()));
    EXPECT_EQ(takeTexts(), QStringList({ QStringLiteral("PR gemergt: Title 1") }));
    EXPECT_EQ(api->pullRequests.arguments, QStringList({ pulls + u'1', pulls + u'3' }));
    EXPECT_TRUE(api->pullRequests.answer(PullRequestState {}));
    EXPECT_TRUE(api->pullRequests.answer(GitHubError::http(404)));
    EXPECT_EQ(takeTexts(), QStringList({ QStringLiteral("Review angefragt: Title 5") }));
    EXPECT_EQ(scheduler.nextDelay(), 60);

    // The failed check is not repeated: the thread was recorded like any other.
    scheduler.advance(60);
    ASSERT_TRUE(api->notifications.answer(QList { thread("4", "state_change"), thread("6", "state_change") }));
    EXPECT_EQ(api->pullRequests.arguments.mid(3), QStringList({ pulls + u'6' }));
}

TEST_F(GitHubPullRequestsModuleTest, StopDropsThePollInFlightAndStartCatchesUpWithoutRepeating)
{
    module->start();
    poll(QList { thread("1", "comment") });
    // Stopped while a merge check waits: what was announced before it stays announced.
    ASSERT_TRUE(api->notifications.answer(QList { thread("4", "comment"), thread("5", "state_change") }));
    EXPECT_EQ(takeTexts(), QStringList({ QStringLiteral("Neuer Review oder Kommentar: Title 4") }));
    module->stop();
    EXPECT_EQ(api->pullRequests.abortedCount(), 1);
    EXPECT_EQ(scheduler.pendingCount(), 0);
    module->start();
    ASSERT_TRUE(api->notifications.answer(QList { thread("4", "comment"), thread("5", "state_change") }));
    ASSERT_TRUE(api->pullRequests.answer(merged()));
    EXPECT_EQ(takeTexts(), QStringList({ QStringLiteral("PR gemergt: Title 5") }));

    // A start while a poll waits drops it and asks again at once.
    scheduler.advance(60);
    module->start();
    EXPECT_EQ(api->notifications.abortedCount(), 1);
    EXPECT_EQ(api->notifications.waiting(), 1);
}

TEST_F(GitHubPullRequestsModuleTest, WatchesEveryListedRepositoryEachWithASilentFirstAnswer)
{
    module->start();
    poll(QList { thread("1", "comment") });
    watch({ QStringLiteral("o/r"), QStringLiteral("o/s") }); // asked at once, for both
    EXPECT_EQ(api->notifications.abortedCount(), 1);
    ASSERT_EQ(api->notifications.waitingArguments(), QStringList({ QStringLiteral("o/r,o/s") }));
    poll(QList { thread("1", "comment"), thread("2", "review_requested", true, "o/s") });
    EXPECT_TRUE(takeTexts().isEmpty()) << "o/s had no answer of its own yet";

    poll(QList { thread("3", "review_requested", true, "o/s"), thread("4", "comment"), thread("5", "mention"),
        thread("6", "author", false) });
    EXPECT_EQ(takeTexts().size(), 4);
    const QList<ModuleRow> rows = module->overlayRows();
    ASSERT_EQ(rows.size(), 3); // the three newest, newest first
    EXPECT_EQ(rows[0].title, QStringLiteral("Neuer Review oder Kommentar: Title 6"));
    EXPECT_TRUE(rows[0].link.isEmpty());
    EXPECT_EQ(rows[2].title, QStringLiteral("Neuer Review oder Kommentar: Title 4"));
    EXPECT_EQ(rows[2].link, QUrl(QStringLiteral("https://github.com/o/r/pull/4")));
}

TEST_F(GitHubPullRequestsModuleTest, FailedPollsAreSilentAndThePauseIsNeverShorterThanGitHubAsks)
{
    module->start();
    poll(GitHubError::missingToken());
    poll(GitHubError::http(401)); // still no baseline
    ASSERT_TRUE(api->notifications.deliver(Polled(QList { thread("1", "comment") }, false, 120)));
    EXPECT_EQ(scheduler.nextDelay(), 120);
    scheduler.advance(120);
    ASSERT_TRUE(api->notifications.deliver(Polled(QList { thread("1", "comment") }, true, 30)));
    EXPECT_EQ(scheduler.nextDelay(), 60) << "never sooner than 60 s";
    scheduler.advance(60);
    ASSERT_TRUE(api->notifications.answer(GitHubError::rateLimited(QDateTime::currentSecsSinceEpoch() + 600)));
    EXPECT_NEAR(scheduler.nextDelay(), 600, 5);
    scheduler.advance(scheduler.nextDelay());
    poll(QList { thread("1", "comment"), thread("2", "comment") });
    EXPECT_EQ(takeTexts(), QStringList({ QStringLiteral("Neuer Review oder Kommentar: Title 2") }));
}

TEST_F(GitHubPullRequestsModuleTest, RowsSayWhyThereIsNothingToShow)
{
    const auto onlyRow = [&] {
        const QList<ModuleRow> rows = module->overlayRows();
        EXPECT_EQ(rows.size(), 1);
        return rows.value(0).title;
    };
    EXPECT_EQ(onlyRow(), QStringLiteral("Keine neuen Pull-Request-Meldungen"));
    credentials.markRefused(QStringLiteral("ghp_test"));
    EXPECT_EQ(onlyRow(), GitHubCredentials::refusedText());
    EXPECT_EQ(module->errorText(), GitHubCredentials::refusedText());
    credentials.setToken(std::nullopt);
    EXPECT_EQ(onlyRow(), QStringLiteral("Kein GitHub-Token hinterlegt."));

    // Only pull request addresses of the API become github.com pages.
    for (const char *other : { "https://api.github.com/repos/o/r/issues/12", "https://api.github.com/repos/o/r/pulls/x",
             "https://api.github.com/repos/o/r/pulls/1/files" })
        EXPECT_TRUE(GitHubPullRequestsModule::pullRequestPage(QUrl(QString::fromLatin1(other))).isEmpty()) << other;
}

} // namespace

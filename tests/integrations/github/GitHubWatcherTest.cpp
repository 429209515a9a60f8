// The watcher both GitHub modules poll through, on the manual scheduler, with polls the test ends
// by hand: the pauses it picks, GitHub's wait, a stop, a new token, and the account's budget.
#include "ManualScheduler.h"
#include "QtPrinters.h"

#include "integrations/github/GitHubBudget.h"
#include "integrations/github/GitHubCredentials.h"
#include "integrations/github/GitHubResponse.h"
#include "integrations/github/GitHubWatcher.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using namespace Qt::StringLiterals;

TEST(GitHubWatcher, BacksOffAcrossAStopWaitsAsGitHubAsksWithoutCountingAndTriesANewTokenAtOnce)
{
    ManualScheduler scheduler;
    GitHubCredentials credentials { u"ghp_old"_s };
    std::vector<CancelHandle> polls; // every request sent, in order
    GitHubWatcher watcher(u"o/r"_s, scheduler, credentials, [&] { return polls.emplace_back(CancelHandle::create()); });
    const auto nextPoll = [&] { scheduler.advance(scheduler.nextDelay()); };
    const GitHubError broken = GitHubError::http(500);

    watcher.start();
    EXPECT_TRUE(watcher.failed(broken));
    EXPECT_EQ(scheduler.nextDelay(), 60);
    nextPoll();
    EXPECT_FALSE(watcher.failed(broken)) << "the same error again changes nothing shown";
    EXPECT_EQ(scheduler.nextDelay(), 120);
    nextPoll();
    EXPECT_FALSE(watcher.failed(GitHubError::rateLimited(1)));
    EXPECT_EQ(scheduler.nextDelay(), 120) << "a short wait never hurries a loop: here its back-off";
    nextPoll();
    EXPECT_FALSE(watcher.failed(GitHubError::rateLimited(900)));
    EXPECT_EQ(scheduler.nextDelay(), 900);
    EXPECT_EQ(watcher.error(), broken) << "GitHub's wait is no failure";
    nextPoll();
    EXPECT_TRUE(watcher.failed(GitHubError::missingToken())) << "the wait is over";
    EXPECT_EQ(scheduler.nextDelay(), 240) << "the third failure in a row";
    nextPoll();

    watcher.stop();
    EXPECT_FALSE(polls.back().isPending()) << "a stop drops the request in flight";
    watcher.start();
    EXPECT_FALSE(watcher.failed(GitHubError::missingToken()));
    EXPECT_EQ(scheduler.nextDelay(), 480) << "the count goes on after a stop";

    const std::size_t sent = polls.size();
    credentials.markRefused(u"ghp_old"_s);
    EXPECT_EQ(polls.size(), sent) << "the same token, refused: nothing to try";
    credentials.setToken(u"ghp_new"_s);
    ASSERT_EQ(polls.size(), sent + 1) << "a new token after a failure is tried at once";
    EXPECT_TRUE(watcher.succeeded(15));
    EXPECT_EQ(watcher.error(), std::nullopt);
    EXPECT_EQ(scheduler.nextDelay(), 15);
    credentials.setToken(u"ghp_newer"_s);
    EXPECT_EQ(polls.size(), sent + 1) << "after a success the next poll comes in its time";
    nextPoll();
    EXPECT_FALSE(watcher.failed(GitHubError::rateLimited(0)));
    EXPECT_EQ(scheduler.nextDelay(), 15) << "nor after a success: the module's own pause";
}

// Within a quarter of the limit every pause stays; beyond it the idle loops stretch first, up to
// ten minutes, then the active ones; a loop whose answers were all 304 keeps its pause.
TEST(GitHubWatcher, TakesItsPauseFromTheBudgetWhichStretchesIdleLoopsFirstAndCountsNo304)
{
    ManualScheduler scheduler;
    GitHubCredentials credentials { u"ghp_token"_s };
    GitHubBudget budget(credentials, scheduler);
    GitHubBudget::Share active(&budget), idle(&budget), unchanged(&budget);
    const auto limitIs = [&](int limit) {
        budget.take(
            { 200, {}, { { "x-ratelimit-limit", QByteArray::number(limit) }, { "x-ratelimit-remaining", "9" } } });
    };
    for (int answer = 0; answer < 8; ++answer)
        EXPECT_EQ(unchanged.pauseAfter(60, false, false), 60);
    EXPECT_EQ(active.pauseAfter(15, true, true), 15) << "before an answer told the limit";
    EXPECT_EQ(idle.pauseAfter(60, true, false), 60) << "a first answer says nothing of the pace";

    limitIs(5000); // room for 1200 in any hour; the loops want 241 and 61 (one more than pauses)
    EXPECT_EQ(idle.pauseAfter(60, true, false), 60);
    EXPECT_EQ(active.pauseAfter(15, true, true), 15);
    limitIs(1050); // room for 252: the idle loop yields the 50 beyond it
    EXPECT_EQ(idle.pauseAfter(60, true, false), 360);
    EXPECT_EQ(active.pauseAfter(15, true, true), 15);
    limitIs(450); // room for 108: the idle loop takes ten minutes (7), the active one 36 s (101)
    EXPECT_EQ(idle.pauseAfter(60, true, false), 600);
    EXPECT_EQ(active.pauseAfter(15, true, true), 36);
    EXPECT_EQ(unchanged.pauseAfter(60, false, false), 60) << "answers of 304 cost nothing";

    GitHubWatcher watcher(u"o/r"_s, scheduler, credentials, [] { return CancelHandle::create(); });
    watcher.start();
    watcher.succeeded(15, true, true);
    EXPECT_EQ(scheduler.nextDelay(), 15);
    scheduler.advance(15);
    watcher.succeeded(15, true, true);
    EXPECT_DOUBLE_EQ(scheduler.nextDelay(), 3600 / 49.5) << "two active loops share the 101 left";
    scheduler.advance(scheduler.nextDelay());
    watcher.failed(GitHubError::rateLimited(1));
    EXPECT_DOUBLE_EQ(scheduler.nextDelay(), 5400 / 99.5)
        << "after a short wait the budget reckons with the loop's own pace, one answer in two counted";
    watcher.stop();
    EXPECT_EQ(active.pauseAfter(15, true, true), 36) << "a stopped watcher spends nothing";
    EXPECT_EQ(idle.pauseAfter(3600, true, false), 3600) << "GitHub's own wait is never cut";

    // Tarnlet's answers of the last hour, in one-minute steps; a 304 is none.
    EXPECT_EQ(budget.answersLastHour(), 3);
    scheduler.advance(30 * 60);
    budget.take({ 304, {}, {} });
    budget.take({ 404, {}, {} });
    EXPECT_EQ(budget.answersLastHour(), 4);
    scheduler.advance(31 * 60);
    EXPECT_EQ(budget.answersLastHour(), 1);
}

} // namespace

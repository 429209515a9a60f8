// The watcher both GitHub modules poll through, on the manual scheduler, with polls the test ends
// by hand: the pauses it picks, GitHub's wait, a stop, and a new token.
#include "ManualScheduler.h"
#include "QtPrinters.h"

#include "modules/github/GitHubWatcher.h"
#include "services/GitHubCredentials.h"

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
}

} // namespace

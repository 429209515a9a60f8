// The updater against the local HTTPS server: what each answer of GitHub's Releases API makes it
// show, and when it checks by itself.
#include "HttpsTestServer.h"
#include "ManualScheduler.h"
#include "QtPrinters.h"
#include "TempPreferences.h"

#include "updates/GitHubReleaseUpdater.h"
#include "updates/UpdateDialogs.h"

#include <QNetworkAccessManager>
#include <QTest>

#include <gtest/gtest.h>

namespace {

using Response = HttpsTestServer::Response;

const QString later = QStringLiteral(" Bitte versuche es sp\u00E4ter noch einmal.");
const QString fallback = QStringLiteral(" https://github.com/teskarvo/Tarnlet/releases/latest");

// Records what the updater would have shown: "latest>current page", "=current" or the error.
struct RecordingDialogs final : UpdateDialogs {
    QStringList shown;

    void showUpdateAvailable(const QString &latest, const QString &current, const QUrl &page) override
    {
        shown << latest + u'>' + current + u' ' + page.toString();
    }
    void showUpToDate(const QString &current) override { shown << u'=' + current; }
    void showError(const QString &reason) override { shown << reason; }
};

Response release(const char *tag, const char *page = "https://github.com/o/x")
{
    return Response::json(QByteArray(R"({"tag_name":")") + tag + R"(","html_url":")" + page + R"("})");
}

class GitHubReleaseUpdaterTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(server.start()); }

    std::unique_ptr<GitHubReleaseUpdater> makeUpdater(const char *version = "0.1.0")
    {
        GitHubTransport::Endpoint endpoint;
        endpoint.apiRoot = server.origin();
        endpoint.extraTrustedCertificates = { HttpsTestServer::certificate() };
        const GitHubReleaseUpdater::Config config { QStringLiteral("teskarvo/Tarnlet"), QString::fromLatin1(version),
            endpoint };
        return std::make_unique<GitHubReleaseUpdater>(
            config, network, *prefs.store, scheduler, dialogs, [this] { return wallClock; });
    }
    // Runs one check (the user's, or the next automatic one) with `response` to its end and
    // returns what was shown.
    QString check(GitHubReleaseUpdater &updater, const Response &response, bool automatic = false)
    {
        server.setResponse(QStringLiteral("/repos/teskarvo/Tarnlet/releases/latest"), response);
        if (automatic)
            scheduler.advance(scheduler.nextDelay());
        else
            updater.checkForUpdates();
        EXPECT_TRUE(QTest::qWaitFor([&] { return updater.canCheckForUpdates(); }, 10000));
        return std::exchange(dialogs.shown, {}).join(u'|');
    }

    HttpsTestServer server;
    QNetworkAccessManager network;
    ManualScheduler scheduler;
    RecordingDialogs dialogs;
    TempPreferences prefs;
    QDateTime wallClock = QDateTime(QDate(2026, 3, 1), QTime(9, 0), Qt::UTC);
};

TEST_F(GitHubReleaseUpdaterTest, ShowsWhatTheAnswerMeansInPlainWordsAndRepeatsTheRememberedReleaseOnA304)
{
    const auto updater = makeUpdater("1.4.2");
    // A 304 repeats the release remembered with its validators; a press joins the check under way.
    Response tagged = release("v1.5");
    tagged.headers = { { "ETag", R"(W/"r1")" } };
    updater->checkForUpdates();
    EXPECT_EQ(check(*updater, tagged), QStringLiteral("1.5>1.4.2 https://github.com/o/x"));
    EXPECT_EQ(check(*updater, Response::json("", 304)), QStringLiteral("1.5>1.4.2 https://github.com/o/x"));
    ASSERT_EQ(server.requests().size(), 2);
    EXPECT_EQ(server.requests().last().header("If-None-Match"), R"(W/"r1")");

    const struct {
        Response response;
        QString shown;
    } cases[] = {
        { release("1.4.10"), QStringLiteral("1.4.10>1.4.2 https://github.com/o/x") },
        { release("V1.4.2"), QStringLiteral("=1.4.2") }, { release("1.4.2.0"), QStringLiteral("=1.4.2") },
        { release("v9", "http://github.com/o/x"), QStringLiteral("9>1.4.2") + fallback },
        { release("v9", "https://user@github.com/x"), QStringLiteral("9>1.4.2") + fallback },
        // The number counts, whatever follows or precedes it; a tag without one is nothing newer.
        { release("v1.4.3-hotfix"), QStringLiteral("1.4.3-hotfix>1.4.2 https://github.com/o/x") },
        { release("release-1.4.2"), QStringLiteral("=1.4.2") }, { release("nightly"), QStringLiteral("=1.4.2") },
        { Response::json(R"({"tag_name":7})"),
            QStringLiteral("GitHub hat eine unverst\u00E4ndliche Antwort geschickt.") + later },
        { Response::json("{}", 500), QStringLiteral("GitHub hat gerade eine St\u00F6rung (Status 500).") + later },
        { Response::json("{}", 403), QStringLiteral("GitHub nimmt gerade keine weiteren Anfragen an.") + later },
        // Without validators in the last answer nothing was asked conditionally: a 304 stands for nothing.
        { Response::json("", 304), QStringLiteral("GitHub hat die Anfrage abgelehnt (Status 304).") },
        { Response::json("{}", 404), QStringLiteral("=1.4.2") }, // no release published yet
    };
    for (const auto &c : cases)
        EXPECT_EQ(check(*updater, c.response), c.shown) << c.response.body.constData();
}

TEST_F(GitHubReleaseUpdaterTest, ChecksByItselfAMinuteAfterStartThenDailyAcrossLaunchesAndOnlyReportsNews)
{
    std::unique_ptr<GitHubReleaseUpdater> updater;
    const auto launch = [&](int hoursLater) {
        updater.reset();
        wallClock = wallClock.addSecs(hoursLater * 3600);
        updater = makeUpdater();
        updater->startUpdater();
    };
    launch(0);
    EXPECT_EQ(scheduler.nextDelay(), 60);
    EXPECT_EQ(check(*updater, release("v0.1.0-hotfix"), true), QString()) << "up to date: silent";
    EXPECT_EQ(scheduler.nextDelay(), 24 * 3600) << "a tag with a suffix is an answer";
    wallClock = wallClock.addDays(1);
    EXPECT_EQ(check(*updater, Response::json("{}", 500), true), QString()) << "a failure: silent";
    EXPECT_EQ(scheduler.nextDelay(), 3600);
    updater->setAutomaticallyChecksForUpdates(false);
    EXPECT_EQ(scheduler.pendingCount(), 0);

    launch(1);
    EXPECT_EQ(scheduler.pendingCount(), 0) << "switched off stays off";
    updater->setAutomaticallyChecksForUpdates(true);
    EXPECT_EQ(scheduler.nextDelay(), 60) << "the failed check was not the day's";
    EXPECT_EQ(check(*updater, release("v0.2.0"), true), QStringLiteral("0.2.0>0.1.0 https://github.com/o/x"));
    launch(2);
    EXPECT_EQ(scheduler.nextDelay(), 22 * 3600) << "a day after the last check";
}

} // namespace

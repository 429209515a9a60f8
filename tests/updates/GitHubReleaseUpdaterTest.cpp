#include "HttpsTestServer.h"
#include "ManualScheduler.h"
#include "QtPrinters.h"
#include "TempPreferences.h"

#include "updates/GitHubReleaseUpdater.h"
#include "updates/UpdateController.h"
#include "updates/UpdateDialogs.h"

#include <QNetworkAccessManager>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

namespace {

const QString latestPath = QStringLiteral("/repos/teskarvo/Tarnlet/releases/latest");

// Records what the updater would have shown.
struct RecordingDialogs final : UpdateDialogs {
    QStringList shown;
    QUrl page;

    void showUpdateAvailable(const QString &latest, const QString &current, const QUrl &releasePage) override
    {
        shown << QStringLiteral("newer %1 over %2").arg(latest, current);
        page = releasePage;
    }
    void showUpToDate(const QString &current) override { shown << QStringLiteral("up to date %1").arg(current); }
    void showError(const QString &reason) override { shown << QStringLiteral("error: ") + reason; }
};

QByteArray release(const QByteArray &tag, const QByteArray &page = "https://github.com/teskarvo/Tarnlet/releases/tag/x")
{
    return R"({"tag_name":")" + tag + R"(","html_url":")" + page + R"(","name":"Tarnlet","assets":[]})";
}

class GitHubReleaseUpdaterTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(server.start());
        endpoint.apiRoot = server.origin();
        endpoint.extraTrustedCertificates = { HttpsTestServer::certificate() };
    }

    std::unique_ptr<GitHubReleaseUpdater> makeUpdater(
        PreferenceStore &store, const QString &version = QStringLiteral("0.1.0"))
    {
        auto updater = std::make_unique<GitHubReleaseUpdater>(
            GitHubReleaseUpdater::Config { QStringLiteral("teskarvo/Tarnlet"), version, endpoint }, network,
            store, scheduler, dialogs, [this] { return wallClock; });
        return updater;
    }

    // Runs one user-initiated check to its end and returns what was shown.
    QStringList checkNow(GitHubReleaseUpdater &updater)
    {
        updater.checkForUpdates();
        EXPECT_TRUE(QTest::qWaitFor([&] { return updater.canCheckForUpdates(); }, 10000));
        return std::exchange(dialogs.shown, {});
    }

    HttpsTestServer server;
    GitHubTransport::Endpoint endpoint;
    QNetworkAccessManager network;
    ManualScheduler scheduler;
    RecordingDialogs dialogs;
    TempPreferences prefs;
    QDateTime wallClock = QDateTime(QDate(2026, 3, 1), QTime(9, 0), Qt::UTC);
};

TEST_F(GitHubReleaseUpdaterTest, ComparesTheLatestReleaseWithTheRunningVersion)
{
    auto updater = makeUpdater(*prefs.store, QStringLiteral("1.4.2"));
    const struct {
        QByteArray tag;
        QString shown;
    } cases[] = {
        { "v1.5.0", QStringLiteral("newer 1.5.0 over 1.4.2") },
        { "1.4.10", QStringLiteral("newer 1.4.10 over 1.4.2") },
        { "v1.4.2", QStringLiteral("up to date 1.4.2") },
        { "1.4.2.0", QStringLiteral("up to date 1.4.2") },
        { "V1.3.9", QStringLiteral("up to date 1.4.2") },
    };
    for (const auto &c : cases) {
        server.setResponse(latestPath, HttpsTestServer::Response::json(release(c.tag)));
        EXPECT_EQ(checkNow(*updater), QStringList { c.shown }) << c.tag.constData();
    }
    EXPECT_EQ(dialogs.page, QUrl(QStringLiteral("https://github.com/teskarvo/Tarnlet/releases/tag/x")));

    // Asked anonymously for the configured repository's latest release.
    ASSERT_EQ(server.requests().size(), 5);
    EXPECT_EQ(server.requests().first().target, latestPath.toLatin1());
    EXPECT_FALSE(server.requests().first().hasHeader("Authorization"));
}

TEST_F(GitHubReleaseUpdaterTest, OpensOnlyGitHubPagesOverHttps)
{
    auto updater = makeUpdater(*prefs.store);
    const QUrl fallback(QStringLiteral("https://github.com/teskarvo/Tarnlet/releases/latest"));
    for (const QByteArray page : { "http://github.com/teskarvo/Tarnlet/releases/tag/v9", "https://evil.example/x",
             "https://user@github.com/x", "file:///etc/passwd", "javascript:alert(1)" }) {
        server.setResponse(latestPath, HttpsTestServer::Response::json(release("v9.0", page)));
        EXPECT_EQ(checkNow(*updater), QStringList { QStringLiteral("newer 9.0 over 0.1.0") });
        EXPECT_EQ(dialogs.page, fallback) << page.constData();
    }
}

TEST_F(GitHubReleaseUpdaterTest, ExplainsFailuresInPlainWords)
{
    auto updater = makeUpdater(*prefs.store);
    const QString unreadable = QStringLiteral(
        "error: GitHub hat eine unverständliche Antwort geschickt. Bitte versuche es später noch einmal.");
    using Response = HttpsTestServer::Response;
    const struct {
        Response response;
        QString shown;
    } cases[] = {
        { Response::json("<html>Service Unavailable</html>"), unreadable },
        { Response::json(R"({"html_url":"https://github.com/x"})"), unreadable },
        { Response::json(R"({"tag_name":null,"html_url":"https://github.com/x"})"), unreadable },
        { Response::json(release("nightly")), unreadable },
        { Response::json(release("v2.0.0-beta.1")), unreadable },
        { Response::json(R"([{"tag_name":"v2.0"}])"), unreadable },
        { Response::withMode(Response::Mode::CloseMidBody, release("v2.0.0")),
            QStringLiteral("error: Die Verbindung zu GitHub ist abgebrochen. Bitte versuche es später noch einmal.") },
        { Response::json("{}", 503),
            QStringLiteral(
                "error: GitHub hat gerade eine Störung (Status 503). Bitte versuche es später noch einmal.") },
        { Response::json(R"({"message":"API rate limit exceeded"})", 403),
            QStringLiteral(
                "error: GitHub nimmt gerade keine weiteren Anfragen an. Bitte versuche es später noch einmal.") },
        { Response::json("{}", 400), QStringLiteral("error: GitHub hat die Anfrage abgelehnt (Status 400).") },
        // Nothing was asked conditionally, so a 304 stands for nothing.
        { Response::json("", 304), QStringLiteral("error: GitHub hat die Anfrage abgelehnt (Status 304).") },
        // No release published yet: nothing newer exists.
        { Response::json(R"({"message":"Not Found"})", 404), QStringLiteral("up to date 0.1.0") },
    };
    for (const auto &c : cases) {
        server.setResponse(latestPath, c.response);
        EXPECT_EQ(checkNow(*updater), QStringList { c.shown }) << c.response.body.constData();
    }
}

TEST_F(GitHubReleaseUpdaterTest, AsksConditionallyAndA304CompletesWithTheRememberedRelease)
{
    auto updater = makeUpdater(*prefs.store);
    HttpsTestServer::Response first = HttpsTestServer::Response::json(release("v0.2.0"));
    first.headers = { { "ETag", R"(W/"r1")" }, { "Last-Modified", "Mon, 07 Dec 2026 10:05:00 GMT" } };
    server.setResponse(latestPath, first);
    EXPECT_EQ(checkNow(*updater), QStringList { QStringLiteral("newer 0.2.0 over 0.1.0") });
    EXPECT_FALSE(server.requests().last().hasHeader("If-None-Match"));

    server.setResponse(latestPath, HttpsTestServer::Response::json("", 304));
    wallClock = wallClock.addDays(1);
    EXPECT_EQ(checkNow(*updater), QStringList { QStringLiteral("newer 0.2.0 over 0.1.0") });
    EXPECT_EQ(server.requests().last().header("If-None-Match"), R"(W/"r1")");
    EXPECT_EQ(server.requests().last().header("If-Modified-Since"), "Mon, 07 Dec 2026 10:05:00 GMT");
    // A completed check: it counts as the day's.
    EXPECT_EQ(prefs.store->stringValue(QString::fromLatin1(GitHubReleaseUpdater::lastCheckKey)),
        wallClock.toString(Qt::ISODate));

    // An answer without validators leaves nothing to ask conditionally about.
    server.setResponse(latestPath, HttpsTestServer::Response::json(release("v0.1.0")));
    EXPECT_EQ(checkNow(*updater), QStringList { QStringLiteral("up to date 0.1.0") });
    checkNow(*updater);
    EXPECT_FALSE(server.requests().last().hasHeader("If-None-Match"));
}

TEST_F(GitHubReleaseUpdaterTest, ServerDownIsReportedAsUnreachable)
{
    server.close(); // the port stays known but nobody listens
    auto updater = makeUpdater(*prefs.store);
    EXPECT_EQ(checkNow(*updater),
        QStringList { QStringLiteral("error: GitHub ist nicht erreichbar. Bitte prüfe die Internetverbindung und "
                                     "versuche es später noch einmal.") });
}

TEST_F(GitHubReleaseUpdaterTest, CannotCheckWhileACheckRunsAndRequestsJoinTheRunningCheck)
{
    auto updater = makeUpdater(*prefs.store);
    UpdateController controller(std::move(updater));
    server.setResponse(latestPath, HttpsTestServer::Response::json(release("v0.1.0")));
    QSignalSpy changes(&controller, &UpdateController::canCheckForUpdatesChanged);

    EXPECT_TRUE(controller.canCheckForUpdates());
    controller.checkForUpdates();
    EXPECT_FALSE(controller.canCheckForUpdates());
    controller.checkForUpdates(); // from the menu while the pane's check runs
    EXPECT_EQ(changes.size(), 1);
    ASSERT_TRUE(QTest::qWaitFor([&] { return controller.canCheckForUpdates(); }, 10000));
    EXPECT_EQ(changes.size(), 2);
    EXPECT_EQ(server.requests().size(), 1);
    EXPECT_EQ(dialogs.shown, QStringList { QStringLiteral("up to date 0.1.0") });
}

TEST_F(GitHubReleaseUpdaterTest, GoingAwayDuringACheckShowsNothing)
{
    server.setResponse(latestPath, HttpsTestServer::Response::withMode(HttpsTestServer::Response::Mode::NeverAnswer));
    auto updater = makeUpdater(*prefs.store);
    updater->checkForUpdates();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !server.requests().isEmpty(); }, 10000));
    updater.reset();
    QTest::qWait(50);
    EXPECT_TRUE(dialogs.shown.isEmpty());
}

TEST_F(GitHubReleaseUpdaterTest, ChecksByItselfAMinuteAfterStartThenDailyAndOnlyReportsNews)
{
    server.setResponse(latestPath, HttpsTestServer::Response::json(release("v0.1.0")));
    auto updater = makeUpdater(*prefs.store);
    EXPECT_TRUE(updater->automaticallyChecksForUpdates());
    EXPECT_EQ(scheduler.pendingCount(), 0); // nothing before the updater is started
    updater->startUpdater();
    EXPECT_EQ(scheduler.nextDelay(), 60);

    scheduler.advance(60);
    ASSERT_TRUE(QTest::qWaitFor([&] { return updater->canCheckForUpdates() && !server.requests().isEmpty(); }, 10000));
    EXPECT_TRUE(dialogs.shown.isEmpty()); // up to date: silent
    EXPECT_EQ(scheduler.nextDelay(), 24 * 60 * 60);

    // A failing automatic check is silent too, is not the day's check, and is tried again an hour later.
    const QString firstCheck = prefs.store->stringValue(QString::fromLatin1(GitHubReleaseUpdater::lastCheckKey));
    server.setResponse(latestPath, HttpsTestServer::Response::json("{}", 500));
    wallClock = wallClock.addDays(1);
    scheduler.advance(24 * 60 * 60);
    ASSERT_TRUE(QTest::qWaitFor([&] { return updater->canCheckForUpdates() && server.requests().size() == 2; }, 10000));
    EXPECT_TRUE(dialogs.shown.isEmpty());
    EXPECT_EQ(prefs.store->stringValue(QString::fromLatin1(GitHubReleaseUpdater::lastCheckKey)), firstCheck);
    EXPECT_EQ(scheduler.nextDelay(), 3600);

    server.setResponse(latestPath, HttpsTestServer::Response::json(release("v0.2.0")));
    scheduler.advance(24 * 60 * 60);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !dialogs.shown.isEmpty(); }, 10000));
    EXPECT_EQ(dialogs.shown, QStringList { QStringLiteral("newer 0.2.0 over 0.1.0") });

    // A manual check also counts as the day's check.
    EXPECT_EQ(scheduler.nextDelay(), 24 * 60 * 60);
    scheduler.advance(3600);
    checkNow(*updater);
    EXPECT_EQ(scheduler.nextDelay(), 24 * 60 * 60);
}

TEST_F(GitHubReleaseUpdaterTest, SwitchAndLastCheckPersistAcrossLaunches)
{
    server.setResponse(latestPath, HttpsTestServer::Response::json(release("v0.1.0")));
    {
        auto first = makeUpdater(*prefs.store);
        first->startUpdater();
        checkNow(*first); // checked at 09:00
        first->setAutomaticallyChecksForUpdates(false);
        EXPECT_FALSE(first->automaticallyChecksForUpdates());
        EXPECT_EQ(scheduler.pendingCount(), 0);
    }
    {
        wallClock = wallClock.addSecs(2 * 3600);
        auto store = prefs.reopen();
        auto second = makeUpdater(*store);
        second->startUpdater();
        EXPECT_FALSE(second->automaticallyChecksForUpdates());
        EXPECT_EQ(scheduler.pendingCount(), 0);
        // Switched on again: the next check falls a day after the last one, 22 hours from now.
        second->setAutomaticallyChecksForUpdates(true);
        EXPECT_EQ(scheduler.nextDelay(), 22 * 3600);
    }
    {
        // A clock set back a week never delays the check by more than a day.
        wallClock = wallClock.addDays(-7);
        auto store = prefs.reopen();
        auto third = makeUpdater(*store);
        third->startUpdater();
        EXPECT_TRUE(third->automaticallyChecksForUpdates());
        EXPECT_EQ(scheduler.nextDelay(), 24 * 3600);
    }
    {
        // Long after the last check: a minute after start-up.
        wallClock = wallClock.addDays(30);
        auto store = prefs.reopen();
        auto fourth = makeUpdater(*store);
        fourth->startUpdater();
        EXPECT_EQ(scheduler.nextDelay(), 60);
    }
}

} // namespace

// The updater against the local HTTPS server: what each answer of GitHub's Releases API makes it
// show, and when it checks by itself.
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

#include <list>

#include <gtest/gtest.h>

namespace {

using Response = HttpsTestServer::Response;

const QString latestPath = QStringLiteral("/repos/teskarvo/Tarnlet/releases/latest");
const QString later = QStringLiteral(" Bitte versuche es sp\u00E4ter noch einmal.");

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
    void SetUp() override { ASSERT_TRUE(server.start()); }

    std::unique_ptr<GitHubReleaseUpdater> makeUpdater(PreferenceStore &store, const QString &version = QStringLiteral("0.1.0"),
        bool trusted = true)
    {
        GitHubTransport::Endpoint endpoint;
        endpoint.apiRoot = server.origin();
        if (trusted)
            endpoint.extraTrustedCertificates = { HttpsTestServer::certificate() };
        return std::make_unique<GitHubReleaseUpdater>(
            GitHubReleaseUpdater::Config { QStringLiteral("teskarvo/Tarnlet"), version, endpoint }, network, store,
            scheduler, dialogs, [this] { return wallClock; });
    }
    // Runs one user-initiated check to its end and returns what was shown.
    QStringList checkNow(GitHubReleaseUpdater &updater)
    {
        updater.checkForUpdates();
        EXPECT_TRUE(QTest::qWaitFor([&] { return updater.canCheckForUpdates(); }, 10000));
        return std::exchange(dialogs.shown, {});
    }
    // Waits for an automatic check to end.
    void awaitRequests(GitHubReleaseUpdater &updater, qsizetype count)
    {
        EXPECT_TRUE(QTest::qWaitFor(
            [&] { return updater.canCheckForUpdates() && server.requests().size() == count; }, 10000));
    }
    QString lastCheck() const { return prefs.store->stringValue(QString::fromLatin1(GitHubReleaseUpdater::lastCheckKey)); }

    HttpsTestServer server;
    QNetworkAccessManager network;
    ManualScheduler scheduler;
    RecordingDialogs dialogs;
    TempPreferences prefs;
    QDateTime wallClock = QDateTime(QDate(2026, 3, 1), QTime(9, 0), Qt::UTC);
};

TEST_F(GitHubReleaseUpdaterTest, ComparesTheLatestReleaseWithTheRunningVersionAndOpensOnlyGitHubPages)
{
    auto updater = makeUpdater(*prefs.store, QStringLiteral("1.4.2"));
    const QByteArray fallback = "https://github.com/teskarvo/Tarnlet/releases/latest";
    const struct {
        QByteArray tag;
        QString shown;
        QByteArray page = "https://github.com/teskarvo/Tarnlet/releases/tag/x";
        QByteArray opened = "https://github.com/teskarvo/Tarnlet/releases/tag/x";
    } cases[] = {
        { "v1.5.0", QStringLiteral("newer 1.5.0 over 1.4.2") },
        { "1.4.10", QStringLiteral("newer 1.4.10 over 1.4.2") },
        { "v1.4.2", QStringLiteral("up to date 1.4.2") },
        { "1.4.2.0", QStringLiteral("up to date 1.4.2") },
        { "V1.3.9", QStringLiteral("up to date 1.4.2") },
        { "v9", QStringLiteral("newer 9 over 1.4.2"), "http://github.com/teskarvo/Tarnlet/releases/tag/v9", fallback },
        { "v9", QStringLiteral("newer 9 over 1.4.2"), "https://evil.example/x", fallback },
        { "v9", QStringLiteral("newer 9 over 1.4.2"), "https://user@github.com/x", fallback },
        { "v9", QStringLiteral("newer 9 over 1.4.2"), "javascript:alert(1)", fallback },
    };
    for (const auto &c : cases) {
        server.setResponse(latestPath, Response::json(release(c.tag, c.page)));
        dialogs.page = QUrl();
        EXPECT_EQ(checkNow(*updater), QStringList { c.shown }) << c.tag.constData();
        if (c.shown.startsWith(u"newer")) {
            EXPECT_EQ(dialogs.page, QUrl(QString::fromLatin1(c.opened))) << c.page.constData();
        }
    }
    // Asked anonymously for the configured repository's latest release.
    EXPECT_EQ(server.requests().first().target, latestPath.toLatin1());
    EXPECT_FALSE(server.requests().first().hasHeader("Authorization"));
}

TEST_F(GitHubReleaseUpdaterTest, ExplainsFailuresInPlainWords)
{
    auto updater = makeUpdater(*prefs.store);
    const QString unreadable = QStringLiteral("error: GitHub hat eine unverst\u00E4ndliche Antwort geschickt.") + later;
    const struct {
        Response response;
        QString shown;
    } cases[] = {
        { Response::json("<html>Service Unavailable</html>"), unreadable },
        { Response::json(R"({"tag_name":null,"html_url":"https://github.com/x"})"), unreadable },
        { Response::json(release("nightly")), unreadable },
        { Response::json(release("v2.0.0-beta.1")), unreadable },
        { Response::withMode(Response::Mode::CloseMidBody, release("v2.0.0")),
            QStringLiteral("error: Die Verbindung zu GitHub ist abgebrochen.") + later },
        { Response::json("{}", 503), QStringLiteral("error: GitHub hat gerade eine St\u00F6rung (Status 503).") + later },
        { Response::json(R"({"message":"API rate limit exceeded"})", 403),
            QStringLiteral("error: GitHub nimmt gerade keine weiteren Anfragen an.") + later },
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

    // A server with a certificate nobody vouches for (on a fresh connection: an open one was
    // trusted), then none at all.
    network.clearConnectionCache();
    EXPECT_EQ(checkNow(*makeUpdater(*prefs.store, QStringLiteral("0.1.0"), false)),
        QStringList { QStringLiteral("error: Die sichere Verbindung zu GitHub ist fehlgeschlagen.") + later });
    server.close();
    EXPECT_EQ(checkNow(*updater),
        QStringList { QStringLiteral("error: GitHub ist nicht erreichbar. Bitte pr\u00FCfe die Internetverbindung und "
                                     "versuche es sp\u00E4ter noch einmal.") });
}

TEST_F(GitHubReleaseUpdaterTest, AsksConditionallyAndA304CompletesWithTheRememberedRelease)
{
    auto updater = makeUpdater(*prefs.store);
    Response first = Response::json(release("v0.2.0"));
    first.headers = { { "ETag", R"(W/"r1")" }, { "Last-Modified", "Mon, 07 Dec 2026 10:05:00 GMT" } };
    server.setResponse(latestPath, first);
    EXPECT_EQ(checkNow(*updater), QStringList { QStringLiteral("newer 0.2.0 over 0.1.0") });
    EXPECT_FALSE(server.requests().last().hasHeader("If-None-Match"));

    server.setResponse(latestPath, Response::json("", 304));
    wallClock = wallClock.addDays(1);
    EXPECT_EQ(checkNow(*updater), QStringList { QStringLiteral("newer 0.2.0 over 0.1.0") });
    EXPECT_EQ(server.requests().last().header("If-None-Match"), R"(W/"r1")");
    EXPECT_EQ(server.requests().last().header("If-Modified-Since"), "Mon, 07 Dec 2026 10:05:00 GMT");
    EXPECT_EQ(lastCheck(), wallClock.toString(Qt::ISODate)) << "a completed check counts as the day's";

    // An answer without validators leaves nothing to ask conditionally about.
    server.setResponse(latestPath, Response::json(release("v0.1.0")));
    EXPECT_EQ(checkNow(*updater), QStringList { QStringLiteral("up to date 0.1.0") });
    checkNow(*updater);
    EXPECT_FALSE(server.requests().last().hasHeader("If-None-Match"));
}

TEST_F(GitHubReleaseUpdaterTest, OneCheckAtATimeAndNothingShownOnceTheUpdaterIsGone)
{
    server.setResponse(latestPath, Response::json(release("v0.1.0")));
    UpdateController controller(makeUpdater(*prefs.store));
    QSignalSpy changes(&controller, &UpdateController::canCheckForUpdatesChanged);
    controller.checkForUpdates();
    EXPECT_FALSE(controller.canCheckForUpdates());
    controller.checkForUpdates(); // from the menu while the pane's check runs: joins it
    EXPECT_EQ(changes.size(), 1);
    ASSERT_TRUE(QTest::qWaitFor([&] { return controller.canCheckForUpdates(); }, 10000));
    EXPECT_EQ(changes.size(), 2);
    EXPECT_EQ(server.requests().size(), 1);
    EXPECT_EQ(std::exchange(dialogs.shown, {}), QStringList { QStringLiteral("up to date 0.1.0") });

    server.setResponse(latestPath, Response::withMode(Response::Mode::NeverAnswer));
    auto updater = makeUpdater(*prefs.store);
    updater->checkForUpdates();
    ASSERT_TRUE(QTest::qWaitFor([&] { return server.requests().size() == 2; }, 10000));
    updater.reset();
    QTest::qWait(50);
    EXPECT_TRUE(dialogs.shown.isEmpty());
}

TEST_F(GitHubReleaseUpdaterTest, ChecksByItselfAMinuteAfterStartThenDailyAndOnlyReportsNews)
{
    server.setResponse(latestPath, Response::json(release("v0.1.0")));
    auto updater = makeUpdater(*prefs.store);
    EXPECT_TRUE(updater->automaticallyChecksForUpdates());
    EXPECT_EQ(scheduler.pendingCount(), 0); // nothing before the updater is started
    updater->startUpdater();
    EXPECT_EQ(scheduler.nextDelay(), 60);
    scheduler.advance(60);
    awaitRequests(*updater, 1);
    EXPECT_TRUE(dialogs.shown.isEmpty()); // up to date: silent
    EXPECT_EQ(scheduler.nextDelay(), 24 * 60 * 60);

    // A failing automatic check is silent too, is not the day's check, and is tried again an hour later.
    const QString firstCheck = lastCheck();
    server.setResponse(latestPath, Response::json("{}", 500));
    wallClock = wallClock.addDays(1);
    scheduler.advance(24 * 60 * 60);
    awaitRequests(*updater, 2);
    EXPECT_TRUE(dialogs.shown.isEmpty());
    EXPECT_EQ(lastCheck(), firstCheck);
    EXPECT_EQ(scheduler.nextDelay(), 3600);

    server.setResponse(latestPath, Response::json(release("v0.2.0")));
    scheduler.advance(24 * 60 * 60);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !dialogs.shown.isEmpty(); }, 10000));
    EXPECT_EQ(dialogs.shown, QStringList { QStringLiteral("newer 0.2.0 over 0.1.0") });
    EXPECT_EQ(scheduler.nextDelay(), 24 * 60 * 60);
}

TEST_F(GitHubReleaseUpdaterTest, SwitchAndLastCheckPersistAcrossLaunches)
{
    server.setResponse(latestPath, Response::json(release("v0.1.0")));
    std::list<std::unique_ptr<PreferenceStore>> stores; // one per launch, outliving its updater
    const auto launch = [&](int hoursLater) {
        wallClock = wallClock.addSecs(hoursLater * 3600);
        stores.push_back(prefs.reopen());
        auto updater = makeUpdater(*stores.back());
        updater->startUpdater();
        return updater;
    };
    auto first = launch(0);
    checkNow(*first); // checked at 09:00
    first->setAutomaticallyChecksForUpdates(false);
    EXPECT_EQ(scheduler.pendingCount(), 0);
    first.reset();

    auto second = launch(2);
    EXPECT_FALSE(second->automaticallyChecksForUpdates());
    EXPECT_EQ(scheduler.pendingCount(), 0);
    second->setAutomaticallyChecksForUpdates(true);
    EXPECT_EQ(scheduler.nextDelay(), 22 * 3600) << "a day after the last check";
    second.reset();

    auto third = launch(-7 * 24);
    EXPECT_TRUE(third->automaticallyChecksForUpdates());
    EXPECT_EQ(scheduler.nextDelay(), 24 * 3600) << "a clock set back never delays by more than a day";
    third.reset();
    auto fourth = launch(30 * 24);
    EXPECT_EQ(scheduler.nextDelay(), 60) << "long after the last check";
}

} // namespace

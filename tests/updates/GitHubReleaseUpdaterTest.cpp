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

#include <gtest/gtest.h>

namespace {

using Response = HttpsTestServer::Response;

const QString latestPath = QStringLiteral("/repos/teskarvo/Tarnlet/releases/latest");
const QByteArray tagPage = "https://github.com/teskarvo/Tarnlet/releases/tag/x";

// Records what the updater would have shown: "latest>current" (and the page), "=current" or the error.
struct RecordingDialogs final : UpdateDialogs {
    QStringList shown;
    QUrl page;

    void showUpdateAvailable(const QString &latest, const QString &current, const QUrl &releasePage) override
    {
        shown << latest + u'>' + current;
        page = releasePage;
    }
    void showUpToDate(const QString &current) override { shown << u'=' + current; }
    void showError(const QString &reason) override { shown << reason; }
};

Response release(const QByteArray &tag, const QByteArray &page = tagPage)
{
    return Response::json(R"({"tag_name":")" + tag + R"(","html_url":")" + page + R"("})");
}

class GitHubReleaseUpdaterTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(server.start()); }

    std::unique_ptr<GitHubReleaseUpdater> makeUpdater(
        PreferenceStore &store, const char *version = "0.1.0", bool trusted = true)
    {
        GitHubTransport::Endpoint endpoint;
        endpoint.apiRoot = server.origin();
        if (trusted)
            endpoint.extraTrustedCertificates = { HttpsTestServer::certificate() };
        return std::make_unique<GitHubReleaseUpdater>(
            GitHubReleaseUpdater::Config { QStringLiteral("teskarvo/Tarnlet"), QString::fromLatin1(version), endpoint },
            network, store, scheduler, dialogs, [this] { return wallClock; });
    }
    // Answers with `response`, runs one user-initiated check to its end and returns what was shown.
    QString checkNow(GitHubReleaseUpdater &updater, const std::optional<Response> &response = std::nullopt)
    {
        if (response)
            server.setResponse(latestPath, *response);
        updater.checkForUpdates();
        EXPECT_TRUE(QTest::qWaitFor([&] { return updater.canCheckForUpdates(); }, 10000));
        return std::exchange(dialogs.shown, {}).join(u'|');
    }
    // Lets the next automatic check go out with `response` and waits for its end.
    void automaticCheck(GitHubReleaseUpdater &updater, const Response &response)
    {
        server.setResponse(latestPath, response);
        const qsizetype count = server.requests().size() + 1;
        scheduler.advance(scheduler.nextDelay());
        EXPECT_TRUE(
            QTest::qWaitFor([&] { return updater.canCheckForUpdates() && server.requests().size() == count; }, 10000));
    }

    HttpsTestServer server;
    QNetworkAccessManager network;
    ManualScheduler scheduler;
    RecordingDialogs dialogs;
    TempPreferences prefs;
    QDateTime wallClock = QDateTime(QDate(2026, 3, 1), QTime(9, 0), Qt::UTC);
};

TEST_F(GitHubReleaseUpdaterTest, ShowsWhatTheAnswerMeansInPlainWordsAndOpensOnlyGitHubPages)
{
    auto updater = makeUpdater(*prefs.store, "1.4.2");
    const QByteArray fallback = "https://github.com/teskarvo/Tarnlet/releases/latest";
    const char *unreadable = "GitHub hat eine unverständliche Antwort geschickt. Bitte versuche es später noch einmal.";
    const struct {
        Response response;
        const char *shown;
        QByteArray opened = tagPage;
    } cases[] = {
        { release("1.4.10"), "1.4.10>1.4.2" }, { release("v1.4.2"), "=1.4.2" }, { release("1.4.2.0"), "=1.4.2" },
        { release("V1.3.9"), "=1.4.2" },
        { release("v9", "http://github.com/teskarvo/Tarnlet/releases/tag/v9"), "9>1.4.2", fallback },
        { release("v9", "https://evil.example/x"), "9>1.4.2", fallback },
        { release("v9", "https://user@github.com/x"), "9>1.4.2", fallback },
        { Response::json("<html>Service Unavailable</html>"), unreadable }, { release("v2.0.0-beta.1"), unreadable },
        { Response::withMode(Response::Mode::CloseMidBody, "{}"),
            "Die Verbindung zu GitHub ist abgebrochen. Bitte versuche es später noch einmal." },
        { Response::json("{}", 500),
            "GitHub hat gerade eine Störung (Status 500). Bitte versuche es später noch einmal." },
        { Response::json("{}", 403),
            "GitHub nimmt gerade keine weiteren Anfragen an. Bitte versuche es später noch einmal." },
        { Response::json("{}", 400), "GitHub hat die Anfrage abgelehnt (Status 400)." },
        // Nothing was asked conditionally, so a 304 stands for nothing.
        { Response::json("", 304), "GitHub hat die Anfrage abgelehnt (Status 304)." },
        { Response::json("{}", 404), "=1.4.2" }, // no release published yet
    };
    for (const auto &c : cases) {
        dialogs.page = QUrl(QString::fromLatin1(tagPage));
        EXPECT_EQ(checkNow(*updater, c.response), QString::fromUtf8(c.shown)) << c.response.body.constData();
        EXPECT_EQ(dialogs.page, QUrl(QString::fromLatin1(c.opened))) << c.response.body.constData();
    }

    // A certificate nobody vouches for (on a fresh connection: an open one was trusted), then no server.
    network.clearConnectionCache();
    EXPECT_EQ(checkNow(*makeUpdater(*prefs.store, "1.4.2", false)),
        QString::fromUtf8(
            "Die sichere Verbindung zu GitHub ist fehlgeschlagen. Bitte versuche es später noch einmal."));
    server.close();
    EXPECT_EQ(checkNow(*updater),
        QString::fromUtf8(
            "GitHub ist nicht erreichbar. Bitte prüfe die Internetverbindung und versuche es später noch einmal."));
}

TEST_F(GitHubReleaseUpdaterTest, A304RepeatsTheRememberedReleaseAndOneCheckRunsAtATime)
{
    std::unique_ptr<GitHubReleaseUpdater> owned = makeUpdater(*prefs.store);
    GitHubReleaseUpdater &updater = *owned;
    UpdateController controller(std::move(owned));
    Response first = release("v0.2.0");
    first.headers = { { "ETag", R"(W/"r1")" } };
    server.setResponse(latestPath, first);
    QSignalSpy changes(&controller, &UpdateController::canCheckForUpdatesChanged);
    controller.checkForUpdates();
    controller.checkForUpdates(); // from the menu while the pane's check runs: joins it
    EXPECT_FALSE(controller.canCheckForUpdates());
    ASSERT_TRUE(QTest::qWaitFor([&] { return controller.canCheckForUpdates(); }, 10000));
    EXPECT_EQ(changes.size(), 2);
    EXPECT_EQ(std::exchange(dialogs.shown, {}), QStringList { QStringLiteral("0.2.0>0.1.0") });

    EXPECT_EQ(checkNow(updater, Response::json("", 304)), QStringLiteral("0.2.0>0.1.0"));
    EXPECT_EQ(server.requests().last().header("If-None-Match"), R"(W/"r1")");
    // An answer without validators leaves nothing to ask conditionally about.
    checkNow(updater, release("v0.1.0"));
    checkNow(updater, Response::json("", 304));
    EXPECT_FALSE(server.requests().last().hasHeader("If-None-Match"));
}

TEST_F(GitHubReleaseUpdaterTest, ChecksByItselfAMinuteAfterStartThenDailyAcrossLaunchesAndOnlyReportsNews)
{
    std::unique_ptr<GitHubReleaseUpdater> updater;
    const auto launch = [&](int hoursLater) {
        updater.reset();
        wallClock = wallClock.addSecs(hoursLater * 3600);
        updater = makeUpdater(*prefs.store);
        updater->startUpdater();
    };
    launch(0);
    EXPECT_EQ(scheduler.nextDelay(), 60);
    automaticCheck(*updater, release("v0.1.0"));
    EXPECT_EQ(scheduler.nextDelay(), 24 * 3600);
    wallClock = wallClock.addDays(1);
    automaticCheck(*updater, Response::json("{}", 500));
    EXPECT_EQ(scheduler.nextDelay(), 3600);
    EXPECT_TRUE(dialogs.shown.isEmpty()) << "up to date and failures: silent";
    updater->setAutomaticallyChecksForUpdates(false);
    EXPECT_EQ(scheduler.pendingCount(), 0);

    launch(1);
    EXPECT_EQ(scheduler.pendingCount(), 0) << "switched off stays off";
    updater->setAutomaticallyChecksForUpdates(true);
    EXPECT_EQ(scheduler.nextDelay(), 60) << "the failed check was not the day's";
    automaticCheck(*updater, release("v0.2.0"));
    EXPECT_EQ(dialogs.shown, QStringList { QStringLiteral("0.2.0>0.1.0") });

    launch(2);
    EXPECT_EQ(scheduler.nextDelay(), 22 * 3600) << "a day after the last check";
    launch(-7 * 24);
    EXPECT_EQ(scheduler.nextDelay(), 24 * 3600) << "a clock set back never delays by more than a day";
}

} // namespace

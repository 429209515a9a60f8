// The CI-Feeds module over real feeds from a local HTTPS server, on the manual scheduler: its rows
// and status from what the watched projects' builds did, the news of a build failing and passing
// again (never at a feed's first answer after a start), and a feed that cannot be read.
#include "HttpsTestServer.h"
#include "InMemorySecretStore.h"
#include "ManualScheduler.h"
#include "QtPrinters.h"
#include "TempPreferences.h"

#include "core/EventBus.h"
#include "modules/ci_feeds/CIFeedsModule.h"

#include <QNetworkAccessManager>
#include <QTest>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using Severity = ModuleStatus::Severity;

namespace {

QByteArray feed(const char *api, const char *webActivity = "Building")
{
    return QByteArray("<Projects>"
                      "<Project name=\"api\" lastBuildStatus=\"")
        + api
        + "\" lastBuildLabel=\"412\" lastBuildTime=\"2026-12-01T10:00:00Z\" "
          "webUrl=\"https://ci.example.com/job/api/\"/>"
          "<Project name=\"web\" lastBuildStatus=\"Success\" activity=\""
        + webActivity + "\" lastBuildLabel=\"97\"/><Project name=\"docs\"/></Projects>";
}

TEST(CIFeedsModule, ShowsWatchedProjectsAndAnnouncesFailuresAndFixesButNotAtAFirstAnswer)
{
    HttpsTestServer server;
    ASSERT_TRUE(server.start());
    QByteArray body = feed("Success");
    int status = 200;
    server.setHandler([&](const HttpsTestServer::Request &) { return HttpsTestServer::Response { status, {}, body }; });
    QNetworkAccessManager network;
    TempPreferences prefs;
    InMemorySecretStore secrets;
    ManualScheduler scheduler;
    CCTrayFeeds feeds { *prefs.store, secrets, scheduler,
        CCTrayClient(network, CCTrayClient::Options { { HttpsTestServer::certificate() } }) };
    EventBus bus;
    QList<ModuleEvent> news;
    bus.subscribe([&](const ModuleEvent &event) { news.append(event); });
    CIFeedsModule module(bus, feeds, u"feedsPane"_s);
    module.start();
    EXPECT_TRUE(module.overlayRows().isEmpty()) << "without a feed it shows nothing";
    EXPECT_EQ(module.compactStatus(), std::nullopt);

    const QString address = server.url(u"/cc.xml"_s).toString();
    feeds.add(address, {}, {});
    const auto poll = [&] {
        const qsizetype asked = server.requests().size();
        scheduler.advance(std::max(0.0, scheduler.nextDelay()));
        ASSERT_TRUE(
            QTest::qWaitFor([&] { return server.requests().size() > asked && scheduler.pendingCount() == 1; }, 10000));
    };
    ASSERT_TRUE(QTest::qWaitFor([&] { return scheduler.pendingCount() == 1; }, 10000));
    ASSERT_EQ(module.overlayRows().size(), 1);
    EXPECT_EQ(module.overlayRows().first().detail, u"Kein Projekt gewählt"_s);
    EXPECT_EQ(module.overlayRows().first().pane, u"feedsPane"_s);
    feeds.setWatched(address, u"api"_s, true);
    feeds.setWatched(address, u"web"_s, true);
    feeds.setWatched(address, u"gone"_s, true);

    QList<ModuleRow> rows = module.overlayRows();
    ASSERT_EQ(rows.size(), 3);
    EXPECT_EQ(rows[0],
        (ModuleRow { u"api"_s, u"412 · erfolgreich"_s, QDateTime(QDate(2026, 12, 1), QTime(10, 0), Qt::UTC),
            Severity::Fine, QUrl(u"https://ci.example.com/job/api/"_s) }));
    EXPECT_EQ(rows[1].detail, u"97 · läuft"_s);
    EXPECT_EQ(rows[1].severity, Severity::Active);
    EXPECT_EQ(rows[2].detail, u"Nicht mehr im Feed"_s);
    EXPECT_EQ(rows[2].pane, u"feedsPane"_s);
    EXPECT_EQ(module.compactStatus(), (ModuleStatus { u"web · 97"_s, Severity::Active }));
    EXPECT_EQ(module.counts(), (ModuleCounts { .activeRuns = 1 }));
    EXPECT_TRUE(news.isEmpty()) << "the feed's first answer after it was added";

    body = feed("Failure", "Sleeping");
    poll();
    ASSERT_EQ(news.size(), 1);
    EXPECT_EQ(news[0],
        (ModuleEvent { u"ci.feeds"_s, u"Build fehlgeschlagen: api"_s, Severity::Failing, CIFeedsModule::buildFailed,
            QUrl(u"https://ci.example.com/job/api/"_s) }));
    EXPECT_EQ(module.compactStatus(), (ModuleStatus { u"api · 412"_s, Severity::Failing }));
    EXPECT_EQ(module.counts().failedRuns, 1);
    body = feed("Exception", "Sleeping");
    poll();
    EXPECT_EQ(news.size(), 1) << "still failing is no news";

    // After a restart the first answer only shows what is there.
    module.stop();
    body = feed("Success", "Sleeping");
    module.start();
    poll();
    EXPECT_EQ(news.size(), 1);
    body = feed("Failure", "Sleeping");
    poll();
    body = feed("Success", "Sleeping");
    poll();
    ASSERT_EQ(news.size(), 3);
    EXPECT_EQ(news[2].text, u"Build wieder erfolgreich: api"_s);
    EXPECT_EQ(news[2].kind, CIFeedsModule::buildFixed);
    EXPECT_EQ(module.newsKinds().size(), 2);

    status = 500;
    poll();
    rows = module.overlayRows();
    EXPECT_EQ(rows[0],
        (ModuleRow { u"api"_s, u"Der Server antwortet mit HTTP 500."_s, std::nullopt, Severity::Idle,
            QUrl(u"https://ci.example.com/job/api/"_s) }));
    EXPECT_EQ(
        module.errorText(), server.url(u"/cc.xml"_s).toString().mid(8) + u": Der Server antwortet mit HTTP 500."_s);
    EXPECT_EQ(module.details().first().row.pane, u"feedsPane"_s);
}

} // namespace

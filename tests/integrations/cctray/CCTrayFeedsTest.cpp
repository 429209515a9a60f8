// The feeds against a local HTTPS server, on the manual scheduler: a feed added with its
// credentials (kept in the secret store alone, sent to the feed's origin), its conditional polls
// and their pauses, and how it fails: malformed XML, a feed too large, a server that asks to wait,
// a redirect to another server, a server that never answers.
#include "Fixture.h"
#include "HttpsTestServer.h"
#include "InMemorySecretStore.h"
#include "ManualScheduler.h"
#include "QtPrinters.h"
#include "TempPreferences.h"

#include "integrations/cctray/CCTrayFeeds.h"

#include <QFile>
#include <QNetworkAccessManager>
#include <QTest>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using Response = HttpsTestServer::Response;

namespace {

struct CCTrayFeedsTest : ::testing::Test {
    CCTrayFeedsTest() { EXPECT_TRUE(server.start() && other.start()); }

    Response feed(const QByteArray &body, const QByteArray &etag = {})
    {
        Response response { 200, { { "Content-Type", "application/xml" } }, body };
        if (!etag.isEmpty())
            response.headers.append({ "ETag", etag });
        return response;
    }
    // Runs until every feed waits for its next poll.
    void settle()
    {
        ASSERT_TRUE(QTest::qWaitFor([&] { return scheduler.pendingCount() == 1; }, 10000));
    }
    void nextPoll()
    {
        scheduler.advance(scheduler.nextDelay());
        settle();
    }
    QString problem() { return feeds.feeds().value(0).problem.value_or(QString()); }

    HttpsTestServer server;
    HttpsTestServer other;
    // A short timeout, for the server that never answers.
    CCTrayClient::Options options { { HttpsTestServer::certificate() }, 1500 };
    QNetworkAccessManager network;
    TempPreferences prefs;
    InMemorySecretStore secrets;
    ManualScheduler scheduler;
    CCTrayFeeds feeds { *prefs.store, secrets, scheduler, CCTrayClient(network, options) };
};

TEST_F(CCTrayFeedsTest, KeepsCredentialsInTheStorePollsConditionallyAndBacksOffWhileFailing)
{
    const QByteArray jenkins = readFixture(TARNLET_CCTRAY_FIXTURES, "jenkins_cc.xml");
    server.setHandler([&](const HttpsTestServer::Request &request) {
        return request.header("If-None-Match") == "\"v1\"" ? Response { 304, {}, {} } : feed(jenkins, "\"v1\"");
    });
    feeds.add(server.url(u"/cc.xml?token=s3cret"_s).toString(), u"me"_s, u"pa55word"_s);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !feeds.isBusy(); }));
    ASSERT_EQ(feeds.feeds().size(), 1);
    const QString address = feeds.feeds().first().address.text();
    EXPECT_EQ(address, server.url(u"/cc.xml"_s).toString());
    EXPECT_TRUE(secrets.items.value(u"ci-feed:"_s + address).contains(u"s3cret"_s));
    QFile file(prefs.path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray kept = file.readAll();
    EXPECT_FALSE(kept.contains("s3cret") || kept.contains("pa55word")) << kept.constData();
    feeds.add(address, {}, {});
    EXPECT_EQ(feeds.feedback(), u"Dieser Feed steht schon in der Liste."_s);

    feeds.start();
    settle();
    ASSERT_EQ(feeds.feeds().first().projects.size(), 3);
    EXPECT_EQ(server.requests().last().target, "/cc.xml?token=s3cret");
    EXPECT_EQ(server.requests().last().header("Authorization"), "Basic " + QByteArray("me:pa55word").toBase64());
    EXPECT_EQ(scheduler.nextDelay(), 30);
    for (int poll = 0; poll < 2; ++poll) {
        nextPoll();
        EXPECT_EQ(server.requests().last().header("If-None-Match"), "\"v1\"") << "the 304 named no validators";
        EXPECT_EQ(feeds.feeds().first().projects.size(), 3) << "unchanged: 304 keeps what was read";
        EXPECT_EQ(scheduler.nextDelay(), 30);
    }

    EXPECT_TRUE(feeds.setWatched(address, u"api"_s, true));
    EXPECT_EQ(feeds.feeds().first().watched, QStringList { u"api"_s });

    // One failure after another; the back-off grows, a wait asked for does not count.
    const auto failWith = [&](Response response, const QString &text, double pause) {
        server.setHandler([response](const HttpsTestServer::Request &) { return response; });
        nextPoll();
        EXPECT_EQ(problem(), text);
        EXPECT_EQ(scheduler.nextDelay(), pause) << text.toStdString();
    };
    failWith(feed("<Projects><Project name=\"a\">"), u"Die Antwort ist kein cctray-Feed."_s, 60);
    failWith(feed("<Projects>" + QByteArray(5 * 1024 * 1024, ' ') + "</Projects>"), u"Der Feed ist zu groß."_s, 120);
    failWith(Response { 429, { { "Retry-After", "300" } }, {} }, u"Der Server bittet zu warten."_s, 300);
    failWith(Response { 503, { { "Retry-After", "1" } }, {} }, u"Der Server bittet zu warten."_s, 120);
    other.setResponse(u"/cc.xml"_s, feed(jenkins));
    failWith(Response::redirect(other.url(u"/cc.xml"_s)), u"Weiterleitung auf einen anderen Server abgelehnt."_s, 240);
    EXPECT_TRUE(other.requests().isEmpty()) << "neither the token nor the password went elsewhere";
    failWith(Response::withMode(Response::Mode::NeverAnswer), u"Der Server antwortet nicht."_s, 480);
    failWith(Response { 401, {}, {} }, u"Der Server verweigert den Zugang (HTTP 401)."_s, 600);
    failWith(Response { 500, {}, {} }, u"Der Server antwortet mit HTTP 500."_s, 600);
    // The feed given anew with renewed credentials takes them, keeps its checks and asks at once.
    server.setHandler([&](const HttpsTestServer::Request &) { return feed(jenkins); });
    feeds.add(address + u"?token=n3w"_s, u"me"_s, u"n3wpass"_s);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !feeds.isBusy(); }));
    settle();
    EXPECT_EQ(feeds.feedback(), u"Die neuen Zugangsdaten sind gespeichert."_s);
    EXPECT_EQ(server.requests().last().target, "/cc.xml?token=n3w");
    EXPECT_EQ(server.requests().last().header("Authorization"), "Basic " + QByteArray("me:n3wpass").toBase64());
    EXPECT_EQ(feeds.feeds().first().watched, QStringList { u"api"_s });
    EXPECT_EQ(problem(), QString());
    EXPECT_EQ(scheduler.nextDelay(), 30);

    feeds.remove(address);
    EXPECT_TRUE(feeds.feeds().isEmpty());
    ASSERT_TRUE(QTest::qWaitFor([&] { return secrets.items.isEmpty(); }));
    EXPECT_EQ(scheduler.pendingCount(), 0) << "its polls went with it";

    // An http feed on this host that moves to https there is followed.
    HttpsTestServer plain;
    plain.setPlain(true);
    ASSERT_TRUE(plain.start());
    plain.setResponse(u"/cc.xml"_s, Response::redirect(server.url(u"/cc.xml"_s)));
    feeds.add(plain.url(u"/cc.xml"_s).toString(), {}, {});
    settle();
    EXPECT_EQ(problem(), QString());
    EXPECT_EQ(feeds.feeds().first().projects.size(), 3);
}

TEST_F(CCTrayFeedsTest, ReadsStoredCredentialsBeforeTheFirstPollAndSaysWhenTheyAreMissing)
{
    const QString address = server.url(u"/go/cctray.xml"_s).toString();
    server.setResponse(u"/go/cctray.xml"_s, feed(readFixture(TARNLET_CCTRAY_FIXTURES, "gocd_cctray.xml")));
    secrets.unavailable = true;
    prefs.store->setValue(CCTrayFeeds::feedsKey,
        QVariantList { QVariantMap { { u"address"_s, address }, { u"secret"_s, true } }, u"not a feed"_s });
    feeds.start();
    EXPECT_EQ(problem(), u"Zugangsdaten werden aus dem Schlüsselbund gelesen …"_s);
    feeds.readSecrets();
    ASSERT_TRUE(QTest::qWaitFor([&] { return problem() == u"Schlüsselbund nicht verfügbar"_s; }));
    EXPECT_TRUE(server.requests().isEmpty()) << "nothing is asked without the credentials";
    secrets.unavailable = false;
    feeds.readSecrets();
    ASSERT_TRUE(QTest::qWaitFor([&] { return problem().startsWith(u"Die Zugangsdaten fehlen"_s); }));
    secrets.items.insert(u"ci-feed:"_s + address, CCTrayCredentials { {}, u"bot"_s, u"tok"_s }.encode());
    feeds.readSecrets();
    ASSERT_TRUE(QTest::qWaitFor([&] { return feeds.feeds().first().projects.size() == 3; }));
    EXPECT_EQ(server.requests().last().header("Authorization"), "Basic " + QByteArray("bot:tok").toBase64());
}

} // namespace

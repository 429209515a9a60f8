// The pull-request module with the real client against the local HTTPS server: a merge is found
// through the address a notification names, and an address off the API origin is never fetched.
#include "Fixture.h"
#include "HttpsTestServer.h"
#include "ManualScheduler.h"
#include "QtPrinters.h"
#include "TempPreferences.h"

#include "core/prefs/AppPreferences.h"
#include "modules/github_pull_requests/GitHubPullRequestsModule.h"
#include "services/GitHubClient.h"
#include "services/GitHubCredentials.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QTest>

#include <gtest/gtest.h>

namespace {

QByteArray fixture(const char *name)
{
    return readFixture(TARNLET_FIXTURES, name);
}

QJsonObject thread(const QString &id, const QString &reason, const QString &title, const QUrl &url)
{
    return QJsonObject {
        { QStringLiteral("id"), id },
        { QStringLiteral("reason"), reason },
        { QStringLiteral("unread"), true },
        { QStringLiteral("subject"),
            QJsonObject { { QStringLiteral("title"), title }, { QStringLiteral("type"), QStringLiteral("PullRequest") },
                { QStringLiteral("url"), url.toString() } } },
        { QStringLiteral("repository"),
            QJsonObject { { QStringLiteral("full_name"), QStringLiteral("octo-org/hello-world") } } },
    };
}

TEST(PullRequestsOverHttps, AnnouncesAMergeFoundThroughTheSubjectAddressAndNeverLeavesTheApiOrigin)
{
    HttpsTestServer api, elsewhere;
    ASSERT_TRUE(api.start());
    ASSERT_TRUE(elsewhere.start());
    api.setResponse(QStringLiteral("/repos/octo-org/hello-world/pulls/1347"),
        HttpsTestServer::Response::json(fixture("pull_request_merged.json")));
    elsewhere.setResponse(
        QStringLiteral("/pulls/9"), HttpsTestServer::Response::json(fixture("pull_request_merged.json")));
    api.setResponse(QStringLiteral("/notifications"), HttpsTestServer::Response::json("[]"));

    QNetworkAccessManager network;
    GitHubTransport::Endpoint endpoint;
    endpoint.apiRoot = api.origin();
    endpoint.extraTrustedCertificates = { HttpsTestServer::certificate() };
    ManualScheduler scheduler;
    EventBus bus;
    QStringList texts;
    bus.subscribe([&](const ModuleEvent &event) { texts.append(event.text); });
    TempPreferences prefs;
    prefs.store->setValue(AppPreferences::gitHubRepositories, QStringList { QStringLiteral("octo-org/hello-world") });
    GitHubCredentials credentials(QStringLiteral("ghp_test"));
    GitHubPullRequestsModule module(*prefs.store, bus, std::make_unique<GitHubClient>(network, credentials, endpoint),
        credentials, scheduler);

    module.start();
    ASSERT_TRUE(QTest::qWaitFor([&] { return scheduler.pendingCount() == 1; }, 10000)); // the baseline

    QJsonArray answer;
    answer.append(thread(QStringLiteral("1"), QStringLiteral("state_change"), QStringLiteral("Merged one"),
        api.url(QStringLiteral("/repos/octo-org/hello-world/pulls/1347"))));
    answer.append(thread(QStringLiteral("2"), QStringLiteral("state_change"), QStringLiteral("Planted one"),
        elsewhere.url(QStringLiteral("/pulls/9"))));
    answer.append(thread(QStringLiteral("3"), QStringLiteral("review_requested"), QStringLiteral("Look"),
        api.url(QStringLiteral("/repos/octo-org/hello-world/pulls/3"))));
    api.setResponse(QStringLiteral("/notifications"), HttpsTestServer::Response::json(QJsonDocument(answer).toJson()));
    scheduler.advance(60);
    ASSERT_TRUE(QTest::qWaitFor([&] { return scheduler.pendingCount() == 1; }, 10000));

    EXPECT_EQ(
        texts, QStringList({ QStringLiteral("PR gemergt: Merged one"), QStringLiteral("Review angefragt: Look") }));
    EXPECT_TRUE(elsewhere.requests().isEmpty());
    ASSERT_EQ(api.requests().size(), 3);
    EXPECT_EQ(api.requests()[2].target, "/repos/octo-org/hello-world/pulls/1347");
    EXPECT_EQ(api.requests()[2].header("Authorization"), "Bearer ghp_test");
}

} // namespace

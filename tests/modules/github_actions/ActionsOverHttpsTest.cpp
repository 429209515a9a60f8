// The Actions module with the real client against the local HTTPS server: several repositories
// polled and followed as the list changes, a 404 kept to its repository, a 401 shown until a new
// token reaches the next request.
#include "HttpsTestServer.h"
#include "ManualScheduler.h"
#include "QtPrinters.h"
#include "TempPreferences.h"

#include "core/prefs/AppPreferences.h"
#include "modules/github_actions/GitHubActionsModule.h"
#include "services/GitHubClient.h"
#include "services/GitHubCredentials.h"

#include <QNetworkAccessManager>
#include <QTest>

#include <gtest/gtest.h>

namespace {

using Response = HttpsTestServer::Response;

QByteArray runs(const char *name)
{
    return QByteArray(R"({"total_count": 1, "workflow_runs": [{"id": 7, "name": ")") + name
        + R"(", "head_branch": "main", "status": "completed", "conclusion": "success",
        "created_at": "2026-12-07T10:00:00Z", "updated_at": "2026-12-07T10:05:00Z",
        "html_url": "https://github.com/o/r/actions/runs/7"}]})";
}

TEST(ActionsOverHttps, FollowsSeveralRepositoriesAndARefusedToken)
{
    HttpsTestServer server;
    ASSERT_TRUE(server.start());
    server.setResponse(QStringLiteral("/repos/o/a/actions/runs"), Response::json(runs("Build")));
    server.setResponse(QStringLiteral("/repos/o/c/actions/runs"), Response::json(runs("Deploy")));
    // o/b is not there: the server's 404.

    QNetworkAccessManager network;
    GitHubTransport::Endpoint endpoint;
    endpoint.apiRoot = server.origin();
    endpoint.extraTrustedCertificates = { HttpsTestServer::certificate() };
    GitHubCredentials credentials(QStringLiteral("ghp_first"));
    TempPreferences prefs;
    const auto watch = [&](const QStringList &repos) {
        prefs.store->setValue(AppPreferences::gitHubRepositories, repos);
    };
    watch({ QStringLiteral("o/a"), QStringLiteral("o/b") });
    ManualScheduler scheduler;
    EventBus bus;
    GitHubActionsModule module(
        *prefs.store, bus, std::make_unique<GitHubClient>(network, credentials, endpoint), credentials, scheduler);
    const auto waitForPolls = [&](int count) {
        return QTest::qWaitFor([&] { return scheduler.pendingCount() == count; }, 10000);
    };

    module.start();
    ASSERT_TRUE(waitForPolls(2));
    QList<ModuleRow> rows = module.overlayRows();
    ASSERT_EQ(rows.size(), 2);
    EXPECT_EQ(rows[0].title, QStringLiteral("Build \u00B7 a"));
    EXPECT_EQ(rows[1].detail, QStringLiteral("Repository nicht gefunden oder kein Zugriff"));
    EXPECT_EQ(module.compactStatus(), (ModuleStatus { QStringLiteral("Build \u00B7 main"), Color::green() }));

    // c added: asked at once; b dropped: never asked again.
    server.clearRequests();
    watch({ QStringLiteral("o/a"), QStringLiteral("o/c") });
    ASSERT_TRUE(QTest::qWaitFor([&] { return module.overlayRows().value(1).title == u"Deploy \u00B7 c"; }, 10000));
    scheduler.advance(3600);
    ASSERT_TRUE(waitForPolls(2));
    QList<QByteArray> targets;
    for (const HttpsTestServer::Request &request : server.requests())
        targets.append(request.path());
    EXPECT_FALSE(targets.contains("/repos/o/b/actions/runs"));
    EXPECT_TRUE(targets.contains("/repos/o/a/actions/runs"));

    // GitHub refuses the token: every line says so until a new token works.
    server.setHandler([](const HttpsTestServer::Request &request) {
        return request.header("Authorization") == "Bearer ghp_second" ? Response::json(runs("Build"))
                                                                      : Response::json("{}", 401);
    });
    scheduler.advance(3600);
    ASSERT_TRUE(QTest::qWaitFor([&] { return credentials.isRefused(); }, 10000));
    EXPECT_EQ(module.compactStatus(), (ModuleStatus { GitHubCredentials::refusedText(), Color::gray() }));
    ASSERT_TRUE(waitForPolls(2));
    credentials.setToken(QStringLiteral("ghp_second")); // both repositories ask again at once
    ASSERT_TRUE(QTest::qWaitFor([&] { return !module.errorText() && scheduler.pendingCount() == 2; }, 10000));
    EXPECT_EQ(server.requests().last().header("Authorization"), "Bearer ghp_second");
    EXPECT_EQ(module.compactStatus(), (ModuleStatus { QStringLiteral("Build \u00B7 main"), Color::green() }));
}

} // namespace

// One simulated hour of the two GitHub modules with three watched repositories and nothing
// changing: the real modules and clients over HTTPS to a local server that answers every poll with
// the same full-size page. Run once with the server honouring conditional requests (If-None-Match,
// If-Modified-Since: an unchanged page is answered 304 without a body) and once with it ignoring
// them, as every poll was answered before the client made them. Prints requests, 304 share and
// bytes received per hour, side by side. Not part of the test suite; it asserts nothing.
#include "Fixture.h"
#include "HttpsTestServer.h"
#include "ManualScheduler.h"
#include "TempPreferences.h"

#include "core/EventBus.h"
#include "core/prefs/AppPreferences.h"
#include "modules/github_actions/GitHubActionsModule.h"
#include "modules/github_pull_requests/GitHubPullRequestsModule.h"
#include "services/GitHubClient.h"
#include "services/GitHubCredentials.h"

#include <QCoreApplication>
#include <QNetworkAccessManager>
#include <QTest>

#include <cstdio>

namespace {

using Request = HttpsTestServer::Request;
using Response = HttpsTestServer::Response;

constexpr double hour = 3600;

struct HourFigures {
    int requests = 0;
    int notModified = 0;
    qint64 bytes = 0; // status lines, headers and bodies as the server wrote them, without TLS
};

// One unchanging page with its validators, as GitHub sends it.
struct Page {
    QByteArray body;
    QByteArray etag;
    QByteArray lastModified;

    bool matches(const Request &request) const
    {
        return request.header("If-None-Match") == etag || request.header("If-Modified-Since") == lastModified;
    }
    Response response() const
    {
        Response response = Response::json(body);
        response.headers.append({ QByteArrayLiteral("ETag"), etag });
        response.headers.append({ QByteArrayLiteral("Last-Modified"), lastModified });
        response.headers.append({ QByteArrayLiteral("X-Poll-Interval"), QByteArrayLiteral("60") });
        return response;
    }
};

HourFigures runHour(bool honourConditions)
{
    const Page runs { readFixture(TARNLET_FIXTURES, "github_actions/data/workflow_runs_page.json"),
        R"(W/"6a1f0c")", "Mon, 07 Dec 2026 09:00:00 GMT" };
    const Page notifications { readFixture(TARNLET_FIXTURES, "github_pull_requests/data/notifications_page.json"),
        R"(W/"9b2e41")", "Mon, 07 Dec 2026 09:00:00 GMT" };

    HourFigures figures;
    HttpsTestServer server;
    if (!server.start())
        qFatal("the local HTTPS server did not start");
    server.setHandler([&](const Request &request) {
        const Page &page = request.path().endsWith("/actions/runs") ? runs : notifications;
        Response response = page.response();
        if (honourConditions && page.matches(request)) {
            response.status = 304;
            response.body.clear();
            ++figures.notModified;
        }
        ++figures.requests;
        figures.bytes += HttpsTestServer::answeredBytes(response);
        return response;
    });

    QNetworkAccessManager network;
    GitHubTransport::Endpoint endpoint;
    endpoint.apiRoot = server.origin();
    endpoint.extraTrustedCertificates = { HttpsTestServer::certificate() };
    GitHubCredentials credentials(QStringLiteral("ghp_bench"));
    TempPreferences prefs;
    prefs.store->setValue(AppPreferences::gitHubRepositories,
        QStringList { QStringLiteral("octo-org/hello-world"), QStringLiteral("octo-org/website"),
            QStringLiteral("octo-org/tools") });
    ManualScheduler scheduler;
    EventBus bus;
    GitHubActionsModule actions(
        *prefs.store, bus, std::make_unique<GitHubClient>(network, credentials, endpoint), credentials, scheduler);
    GitHubPullRequestsModule pullRequests(
        *prefs.store, bus, std::make_unique<GitHubClient>(network, credentials, endpoint), credentials, scheduler);

    // Every poll loop waits for its next turn: three repositories and the notifications.
    constexpr int pollLoops = 4;
    const auto settle = [&] {
        if (!QTest::qWaitFor([&] { return scheduler.pendingCount() == pollLoops; }, 30000))
            qFatal("the polls did not settle at %.0f s", scheduler.now());
    };
    actions.start();
    pullRequests.start();
    settle();
    while (scheduler.now() + scheduler.nextDelay() < hour) {
        scheduler.advance(scheduler.nextDelay());
        settle();
    }
    return figures;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const HourFigures before = runHour(false);
    const HourFigures now = runHour(true);

    const auto share = [](const HourFigures &figures) {
        return figures.requests > 0 ? 100.0 * figures.notModified / figures.requests : 0.0;
    };
    const auto kib = [](qint64 bytes) { return bytes / 1024.0; };
    std::printf("  One simulated hour, 3 repositories and the notifications, nothing changing\n");
    std::printf("  %-26s %14s %16s\n", "", "unconditional", "conditional");
    std::printf("  %-26s %14d %16d\n", "Requests per hour", before.requests, now.requests);
    std::printf("  %-26s %13.1f %% %14.1f %%\n", "Answered 304", share(before), share(now));
    std::printf("  %-26s %10.0f KiB %12.0f KiB\n", "Bytes received per hour", kib(before.bytes), kib(now.bytes));
    return 0;
}

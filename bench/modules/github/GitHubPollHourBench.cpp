// One simulated hour of the two GitHub modules with three watched repositories and nothing
// changing: the real modules and clients over HTTPS to a local server that answers every poll with
// the same full-size page. Run once with the server honouring conditional requests (If-None-Match,
// If-Modified-Since: an unchanged page is answered 304 without a body) and once with it ignoring
// them, as every poll was answered before the client made them. Prints requests, 304 share and
// bytes received per hour, side by side. Then an hour with twenty repositories whose runs change at
// every poll, against the account's budget of a quarter of the hourly limit GitHub names (5000).
// Not part of the test suite; it asserts nothing.
#include "Fixture.h"
#include "HttpsTestServer.h"
#include "ManualScheduler.h"
#include "TempPreferences.h"

#include "core/EventBus.h"
#include "core/prefs/AppPreferences.h"
#include "modules/github_actions/GitHubActionsModule.h"
#include "modules/github_pull_requests/GitHubPullRequestsModule.h"
#include "services/GitHubBudget.h"
#include "services/GitHubClient.h"
#include "services/GitHubCredentials.h"

#include <QCoreApplication>
#include <QNetworkAccessManager>
#include <QTest>
#include <QTime>

#include <cstdio>

namespace {

using Request = HttpsTestServer::Request;
using Response = HttpsTestServer::Response;

constexpr double hour = 3600;
constexpr int hourlyLimit = 5000; // GitHub's for a personal access token

struct HourFigures {
    int requests = 0;
    int notModified = 0;
    qint64 bytes = 0; // status lines, headers and bodies as the server wrote them, without TLS
    int countedByTarnlet = 0; // as the account's budget counted them over the hour

    int counted() const { return requests - notModified; }
};

// An hour on the local server: the repositories watched, whether it answers unchanged pages 304,
// and whether the runs change at every poll.
struct Scenario {
    bool honourConditions = true;
    QStringList repositories { QStringLiteral("octo-org/hello-world"), QStringLiteral("octo-org/website"),
        QStringLiteral("octo-org/tools") };
    bool runsChange = false;
};

// The rate-limit headers GitHub sends with every answer, nobody else spending the limit.
void addLimitHeaders(HttpsTestServer::Response &response, int used)
{
    response.headers.append({ QByteArrayLiteral("x-ratelimit-limit"), QByteArray::number(hourlyLimit) });
    response.headers.append({ QByteArrayLiteral("x-ratelimit-remaining"), QByteArray::number(hourlyLimit - used) });
    response.headers.append({ QByteArrayLiteral("x-ratelimit-used"), QByteArray::number(used) });
}

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

HourFigures runHour(const Scenario &scenario)
{
    const Page runs { readFixture(TARNLET_FIXTURES, "github_actions/data/workflow_runs_page.json"), R"(W/"6a1f0c")",
        "Mon, 07 Dec 2026 09:00:00 GMT" };
    const Page notifications { readFixture(TARNLET_FIXTURES, "github_pull_requests/data/notifications_page.json"),
        R"(W/"9b2e41")", "Mon, 07 Dec 2026 09:00:00 GMT" };

    HourFigures figures;
    HttpsTestServer server;
    if (!server.start())
        qFatal("the local HTTPS server did not start");
    server.setHandler([&](const Request &request) {
        const bool runsAsked = request.path().endsWith("/actions/runs");
        const Page &page = runsAsked ? runs : notifications;
        Response response = page.response();
        if (runsAsked && scenario.runsChange) {
            // The running run has moved on since the last poll: a new page with new validators.
            const int poll = figures.requests;
            const QByteArray updated = QTime(0, 0).addSecs(poll % 3600).toString(u"mm:ss").toLatin1();
            response.body.replace("2026-12-07T08:04:09Z", "2026-12-07T08:" + updated + 'Z');
            response.headers
                = Page { response.body, "W/\"" + QByteArray::number(poll) + '"', page.lastModified }.response().headers;
        } else if (scenario.honourConditions && page.matches(request)) {
            response.status = 304;
            response.body.clear();
            ++figures.notModified;
        }
        ++figures.requests;
        addLimitHeaders(response, figures.counted());
        figures.bytes += HttpsTestServer::answeredBytes(response);
        return response;
    });

    QNetworkAccessManager network;
    GitHubTransport::Endpoint endpoint;
    endpoint.apiRoot = server.origin();
    endpoint.extraTrustedCertificates = { HttpsTestServer::certificate() };
    GitHubCredentials credentials(QStringLiteral("ghp_bench"));
    TempPreferences prefs;
    prefs.store->setValue(AppPreferences::gitHubRepositories, scenario.repositories);
    ManualScheduler scheduler;
    GitHubBudget budget(credentials, scheduler);
    EventBus bus;
    GitHubActionsModule actions(
        *prefs.store, bus, std::make_unique<GitHubClient>(network, credentials, endpoint), credentials, scheduler);
    GitHubPullRequestsModule pullRequests(
        *prefs.store, bus, std::make_unique<GitHubClient>(network, credentials, endpoint), credentials, scheduler);

    // Every poll loop waits for its next turn: one per repository and the notifications.
    const int pollLoops = int(scenario.repositories.size()) + 1;
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
    figures.countedByTarnlet = budget.answersLastHour();
    return figures;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const HourFigures before = runHour({ .honourConditions = false });
    const HourFigures now = runHour({});
    Scenario busy { .runsChange = true };
    busy.repositories.clear();
    for (int i = 1; i <= 20; ++i)
        busy.repositories.append(QStringLiteral("octo-org/service-%1").arg(i));
    const HourFigures changing = runHour(busy);

    const auto share = [](const HourFigures &figures) {
        return figures.requests > 0 ? 100.0 * figures.notModified / figures.requests : 0.0;
    };
    const auto kib = [](qint64 bytes) { return bytes / 1024.0; };
    std::printf("  One simulated hour, 3 repositories and the notifications, nothing changing\n");
    std::printf("  %-26s %14s %16s\n", "", "unconditional", "conditional");
    std::printf("  %-26s %14d %16d\n", "Requests per hour", before.requests, now.requests);
    std::printf("  %-26s %13.1f %% %14.1f %%\n", "Answered 304", share(before), share(now));
    std::printf("  %-26s %10.0f KiB %12.0f KiB\n", "Bytes received per hour", kib(before.bytes), kib(now.bytes));
    std::printf("  %-26s %14d %16d\n", "Answers that count", before.counted(), now.counted());
    std::printf("\n  One simulated hour, 20 repositories with runs under way that change at every poll\n");
    std::printf("  %-26s %14d\n", "Requests per hour", changing.requests);
    std::printf("  %-26s %14d (budget counted %d; a quarter of the limit: %d)\n", "Answers that count",
        changing.counted(), changing.countedByTarnlet, hourlyLimit / 4);
    return 0;
}

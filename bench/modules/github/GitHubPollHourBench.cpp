// One simulated hour of the two GitHub modules with nothing changing: the real modules and clients
// over HTTPS to a local server that answers every poll with the same full-size page (the runs of one
// branch or one workflow where the request names them, as GitHub does). With three repositories,
// run once with the server honouring conditional requests (If-None-Match, If-Modified-Since: an
// unchanged page is answered 304 without a body) and once with it ignoring them, as every poll was
// answered before the client made them. With twenty repositories, five of them filtered, run as
// they are and again with every repository muted and news paused. Prints requests, 304 share and
// bytes received per hour, side by side. Then an hour with twenty repositories whose runs change at
// every poll, against the account's budget of a quarter of the hourly limit GitHub names (5000).
// Not part of the test suite; it asserts nothing.
#include "Fixture.h"
#include "HttpsTestServer.h"
#include "PollHour.h"
#include "TempPreferences.h"

#include "core/EventBus.h"
#include "core/ModuleRegistry.h"
#include "core/NewsGate.h"
#include "core/prefs/AppPreferences.h"
#include "integrations/github/GitHubBudget.h"
#include "integrations/github/GitHubClient.h"
#include "integrations/github/GitHubCredentials.h"
#include "integrations/github/GitHubRepository.h"
#include "modules/github_actions/GitHubActionsModule.h"
#include "modules/github_news/GitHubNewsModule.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QTime>
#include <QUrlQuery>

#include <cstdio>

namespace {

using Request = HttpsTestServer::Request;
using Response = HttpsTestServer::Response;

constexpr int hourlyLimit = 5000; // GitHub's for a personal access token

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

// The runs page as GitHub answers `request`: only those of its workflow file and its branch.
Page runsPage(const QByteArray &all, const Request &request)
{
    const QString path = QString::fromUtf8(request.path());
    const QString file = path.contains(u"/workflows/") ? path.section(u'/', -2, -2) : QString();
    const QString branch = QUrlQuery(QString::fromUtf8(request.target).section(u'?', 1))
                               .queryItemValue(QStringLiteral("branch"), QUrl::FullyDecoded);
    if (file.isEmpty() && branch.isEmpty())
        return { all, R"(W/"6a1f0c")", "Mon, 07 Dec 2026 09:00:00 GMT" };
    QJsonObject page = QJsonDocument::fromJson(all).object();
    QJsonArray runs;
    for (const QJsonValue &run : page.value(u"workflow_runs").toArray()) {
        const QJsonObject fields = run.toObject();
        if ((file.isEmpty() || fields.value(u"path").toString().endsWith(u'/' + file))
            && (branch.isEmpty() || fields.value(u"head_branch").toString() == branch))
            runs.append(run);
    }
    page.insert(QStringLiteral("workflow_runs"), runs);
    page.insert(QStringLiteral("total_count"), runs.size());
    const QByteArray body = QJsonDocument(page).toJson(QJsonDocument::Compact);
    return { body, "W/\"" + QCryptographicHash::hash(body, QCryptographicHash::Sha1).toHex().left(12) + '"',
        "Mon, 07 Dec 2026 09:00:00 GMT" };
}

struct Setup {
    int repositories = 3;
    bool honourConditions = true;
    QVariantMap options = {}; // per repository, as the settings pane stores them
    bool quiet = false; // every repository muted and news paused
    bool runsChange = false; // the running run moves on at every poll
};

PollHourFigures runHour(const Setup &setup)
{
    const QByteArray runs = readFixture(TARNLET_FIXTURES, "github_actions/data/workflow_runs_page.json");
    const Page notifications { readFixture(TARNLET_FIXTURES, "github_news/data/notifications_page.json"),
        R"(W/"9b2e41")", "Mon, 07 Dec 2026 09:00:00 GMT" };

    PollHourFigures figures;
    HttpsTestServer server;
    if (!server.start())
        qFatal("the local HTTPS server did not start");
    server.setHandler([&](const Request &request) {
        const bool runsAsked = request.path().contains("/actions/");
        const Page page = runsAsked ? runsPage(runs, request) : notifications;
        Response response = page.response();
        if (runsAsked && setup.runsChange) {
            // The running run has moved on since the last poll: a new page with new validators.
            const int poll = figures.requests;
            const QByteArray updated = QTime(0, 0).addSecs(poll % 3600).toString(u"mm:ss").toLatin1();
            response.body.replace("2026-12-07T08:04:09Z", "2026-12-07T08:" + updated + 'Z');
            response.headers
                = Page { response.body, "W/\"" + QByteArray::number(poll) + '"', page.lastModified }.response().headers;
        } else if (setup.honourConditions && page.matches(request)) {
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
    QStringList repositories { QStringLiteral("octo-org/hello-world"), QStringLiteral("octo-org/website"),
        QStringLiteral("octo-org/tools") };
    for (int i = int(repositories.size()); i < setup.repositories; ++i)
        repositories.append(QStringLiteral("octo-org/project-%1").arg(i));
    prefs.store->setValue(GitHubRepository::listKey, repositories);
    QVariantMap options = setup.options;
    if (setup.quiet) {
        for (const QString &repository : std::as_const(repositories)) {
            QVariantMap own = options.value(repository).toMap();
            own.insert(QStringLiteral("muted"), true);
            options.insert(repository, own);
        }
    }
    prefs.store->setValue(GitHubRepository::optionsKey, options);
    ManualScheduler scheduler;
    GitHubBudget budget(credentials, scheduler);
    EventBus bus;
    ModuleRegistry registry(*prefs.store);
    NewsGate gate(bus, registry, *prefs.store, scheduler);
    if (setup.quiet)
        gate.pauseUntilResumed();
    GitHubActionsModule actions(
        *prefs.store, bus, std::make_unique<GitHubClient>(network, credentials, endpoint), credentials, scheduler);
    GitHubNewsModule pullRequests(
        *prefs.store, bus, std::make_unique<GitHubClient>(network, credentials, endpoint), credentials, scheduler);

    actions.start();
    pullRequests.start();
    pollForAnHour(scheduler, setup.repositories + 1); // a poll loop each repository, and the notifications
    figures.countedByTarnlet = budget.answersLastHour();
    return figures;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const PollHourFigures before = runHour(Setup { 3, false });
    const PollHourFigures now = runHour(Setup { 3, true });

    // Five of twenty filtered: a branch and a workflow file asked of GitHub, one of each sifted
    // here, and both kinds at once.
    const auto filters = [](const char *branches, const char *workflow) {
        return QVariantMap { { QStringLiteral("branches"), QString::fromLatin1(branches) },
            { QStringLiteral("workflow"), QString::fromLatin1(workflow) } };
    };
    const QVariantMap fiveFiltered {
        { QStringLiteral("octo-org/project-3"), filters("main", "") },
        { QStringLiteral("octo-org/project-4"), filters("", "ci.yml") },
        { QStringLiteral("octo-org/project-5"), filters("release/*", "") },
        { QStringLiteral("octo-org/project-6"), filters("", "Docs") },
        { QStringLiteral("octo-org/project-7"), filters("main", "lint.yml") },
    };
    const PollHourFigures twenty = runHour(Setup { 20, true, fiveFiltered });
    const PollHourFigures quiet = runHour(Setup { 20, true, fiveFiltered, true });
    const PollHourFigures changing = runHour(Setup { .repositories = 20, .runsChange = true });

    printPollHourTable("One simulated hour, 3 repositories and the notifications, nothing changing",
        { { "unconditional", 14, before }, { "conditional", 16, now } }, AnswersThatCount::asServed);
    printPollHourTable("One simulated hour, 20 repositories (5 filtered) and the notifications, nothing changing",
        { { "as they are", 14, twenty }, { "muted, paused", 16, quiet } }, AnswersThatCount::asServed);
    std::printf("  One simulated hour, 20 repositories with runs under way that change at every poll\n");
    std::printf("  %-26s %14d\n", "Requests per hour", changing.requests);
    std::printf("  %-26s %14d (budget counted %d; a quarter of the limit: %d)\n", "Answers that count",
        changing.counted(), changing.countedByTarnlet, hourlyLimit / 4);
    return 0;
}

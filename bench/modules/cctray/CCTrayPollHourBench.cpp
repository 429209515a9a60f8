// One simulated hour of the CI-Feeds module with one feed of 200 projects (ten of them watched)
// and nothing changing: the real module, feeds and client over HTTPS to a local server that
// answers every poll with the same feed. Run once with the server ignoring the conditional
// headers (If-None-Match, If-Modified-Since) and once honouring them with 304 and no body. Prints
// requests and bytes received per hour side by side. Not part of the test suite; it asserts
// nothing.
#include "HttpsTestServer.h"
#include "InMemorySecretStore.h"
#include "PollHour.h"
#include "TempPreferences.h"

#include "core/EventBus.h"
#include "modules/ci_feeds/CIFeedsModule.h"

#include <QCoreApplication>
#include <QNetworkAccessManager>

namespace {

using Request = HttpsTestServer::Request;
using Response = HttpsTestServer::Response;

constexpr int projects = 200;

// A GoCD-style feed: pipelines, their stages and jobs, all built a while ago.
QByteArray feedOf(int count)
{
    QByteArray xml = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<Projects>\n";
    for (int i = 0; i < count; ++i) {
        const QByteArray name
            = "service-" + QByteArray::number(i / 4) + " :: build :: job-" + QByteArray::number(i % 4);
        xml += "  <Project name=\"" + name + "\" activity=\"Sleeping\" lastBuildStatus=\"Success\" lastBuildLabel=\""
            + QByteArray::number(100 + i) + "\" lastBuildTime=\"2026-12-07T09:00:00.000+0000\" "
            + "webUrl=\"https://gocd.example.com/go/tab/build/detail/service-" + QByteArray::number(i / 4)
            + "/12/build/1/job-" + QByteArray::number(i % 4) + "\" />\n";
    }
    return xml + "</Projects>\n";
}

PollHourFigures runHour(bool honourConditions)
{
    const QByteArray body = feedOf(projects);
    const QByteArray etag = "\"5c1e-17\"";
    const QByteArray lastModified = "Mon, 07 Dec 2026 09:00:00 GMT";
    PollHourFigures figures;
    HttpsTestServer server;
    if (!server.start())
        qFatal("the local HTTPS server did not start");
    server.setHandler([&](const Request &request) {
        Response response { 200,
            { { "Content-Type", "application/xml" }, { "ETag", etag }, { "Last-Modified", lastModified } }, body };
        if (honourConditions
            && (request.header("If-None-Match") == etag || request.header("If-Modified-Since") == lastModified)) {
            response.status = 304;
            response.body.clear();
            ++figures.notModified;
        }
        ++figures.requests;
        figures.bytes += HttpsTestServer::answeredBytes(response);
        return response;
    });

    QNetworkAccessManager network;
    TempPreferences prefs;
    InMemorySecretStore secrets;
    ManualScheduler scheduler;
    CCTrayFeeds feeds(*prefs.store, secrets, scheduler,
        CCTrayClient(network, CCTrayClient::Options { { HttpsTestServer::certificate() } }));
    EventBus bus;
    CIFeedsModule module(bus, feeds, QStringLiteral("feeds"));
    feeds.add(server.url(QStringLiteral("/go/cctray.xml")).toString(), {}, {});
    const QString address = feeds.feeds().first().address.text();
    for (int i = 0; i < 10; ++i)
        feeds.setWatched(address, QStringLiteral("service-%1 :: build :: job-0").arg(i), true);

    module.start();
    pollForAnHour(scheduler, 1);
    return figures;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const PollHourFigures before = runHour(false);
    const PollHourFigures now = runHour(true);
    const QByteArray title
        = "One simulated hour, 1 feed of " + QByteArray::number(projects) + " projects (10 watched), nothing changing";
    printPollHourTable(
        title.constData(), { { "unconditional", 14, before }, { "conditional", 16, now } }, AnswersThatCount::notShown);
    return 0;
}

// One simulated hour of the two GitLab modules with nothing changing: the real modules and clients
// over HTTPS to a local server answering as GitLab, ten projects (each asked for once, then its
// default branch's page of ten pipelines) and the user's twenty pending to-dos. Run once with the
// server ignoring the validators it sends (ETag, Last-Modified), as every poll was answered before
// the client sent them back, once with it answering an unchanged page 304 without a body, and once
// with a pipeline running in every project (polled every 15 s). Each answer carries GitLab's
// RateLimit-* headers. Prints requests, 304 share and bytes received per hour. Not part of the test
// suite; it asserts nothing.
#include "FakeGitLab.h"
#include "PollHour.h"
#include "TempPreferences.h"

#include "core/EventBus.h"
#include "integrations/gitlab/GitLabCredentials.h"
#include "integrations/gitlab/GitLabProjects.h"
#include "modules/gitlab_pipelines/GitLabPipelinesModule.h"
#include "modules/gitlab_todos/GitLabTodosModule.h"
#include "services/ApiBudget.h"

#include <QCoreApplication>

namespace {

using Request = HttpsTestServer::Request;
using Response = HttpsTestServer::Response;

constexpr int projects = 10;

// A to-do as big as GitLab's are: the whole merge request it is about comes along.
QByteArray todo(int id)
{
    QByteArray body = FakeGitLab::todo(id, "review_requested", "Refactor the pipeline cache " + QByteArray::number(id));
    body.replace("\"iid\":3,", "\"iid\":3,\"description\":\"" + QByteArray(900, 'd') + "\",\"state\":\"opened\",");
    return body;
}

PollHourFigures runHour(bool honourConditions, bool running)
{
    QList<QByteArray> pipelines;
    for (int i = 0; i < 10; ++i)
        pipelines.append(FakeGitLab::pipeline(200 - i, running && i == 0 ? "running" : "success"));
    const QByteArray pipelinePage = FakeGitLab::list(pipelines);
    QList<QByteArray> todos;
    for (int i = 0; i < 20; ++i)
        todos.append(todo(100 - i));
    const QByteArray todoPage = FakeGitLab::list(todos);

    PollHourFigures figures;
    FakeGitLab gitlab;
    const ApiTransport::Endpoint endpoint = gitlab.endpoint();
    gitlab.server.setHandler([&](const Request &request) {
        const QByteArray path = request.path();
        Response response;
        if (path.endsWith("/pipelines"))
            response = Response::json(pipelinePage);
        else if (path.endsWith("/todos"))
            response = Response::json(todoPage);
        else
            response = Response::json(QByteArray(FakeGitLab::project).replace("\"id\":7", "\"id\":" + path.right(1)));
        const QByteArray etag = "W/\"" + QByteArray::number(qHash(response.body), 16) + '"';
        response.headers.append({ QByteArrayLiteral("ETag"), etag });
        if (honourConditions && request.header("If-None-Match") == etag) {
            response.status = 304;
            response.body.clear();
            ++figures.notModified;
        }
        ++figures.requests;
        response.headers.append({ QByteArrayLiteral("RateLimit-Limit"), QByteArrayLiteral("2000") });
        response.headers.append({ QByteArrayLiteral("RateLimit-Remaining"), QByteArrayLiteral("1990") });
        figures.bytes += HttpsTestServer::answeredBytes(response);
        return response;
    });

    GitLabCredentials credentials(QStringLiteral("glpat-bench"));
    TempPreferences prefs;
    QStringList paths;
    for (int i = 0; i < projects; ++i)
        paths.append(QStringLiteral("grp/project-%1").arg(i));
    prefs.store->setValue(GitLabProjects::listKey, paths);
    ManualScheduler scheduler;
    ApiBudget budget(credentials, scheduler, 60); // GitLab counts its limit over a minute
    EventBus bus;
    GitLabPipelinesModule pipelinesModule(*prefs.store, bus,
        std::make_unique<GitLabClient>(gitlab.network, credentials, endpoint), credentials, scheduler);
    GitLabTodosModule todosModule(*prefs.store, bus,
        std::make_unique<GitLabClient>(gitlab.network, credentials, endpoint), credentials, scheduler);

    pipelinesModule.start();
    todosModule.start();
    pollForAnHour(scheduler, projects + 1); // a poll loop each project, and the to-dos
    figures.countedByTarnlet = budget.answersLastHour();
    return figures;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const PollHourFigures before = runHour(false, false);
    const PollHourFigures now = runHour(true, false);
    const PollHourFigures busy = runHour(true, true);
    printPollHourTable("One simulated hour, 10 GitLab projects and the to-dos, nothing changing",
        { { "unconditional", 14, before }, { "conditional", 14, now }, { "pipelines running", 18, busy } },
        AnswersThatCount::asBudgeted);
    return 0;
}

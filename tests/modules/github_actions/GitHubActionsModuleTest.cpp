// The Actions module against a fake API: the pause each answer asks for, the watched list and its
// filters followed as they change, rows, announcements (none while muted) and a refused token; its
// run commands over the real client.
#include "GitHubModuleFixture.h"
#include "HttpsTestServer.h"
#include "QtPrinters.h"
#include "Runs.h"

#include "integrations/github/GitHubClient.h"
#include "integrations/github/GitHubTokenState.h"
#include "modules/github_actions/GitHubActionsModule.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QSignalSpy>
#include <QTest>

namespace {

using namespace Qt::StringLiterals;
using Response = HttpsTestServer::Response;

class GitHubActionsModuleTest : public GitHubModuleFixture<GitHubActionsModule> {
protected:
    // Answers the waiting poll of `repo` and returns the pause before its next one.
    double answer(const GitHubResult<QList<WorkflowRun>> &result, const QString &repo = QStringLiteral("o/r"))
    {
        EXPECT_TRUE(api->runs.answer(result, QStringLiteral("repos/%1/actions/runs?per_page=10").arg(repo)));
        return scheduler.nextDelay();
    }
    // Lets the pause run out, so that the next poll goes out.
    void nextPoll() { scheduler.advance(scheduler.nextDelay()); }
};

// When to poll after a failure, after GitHub's wait or with a new token is the watcher's test; what a
// new token drops is this one's.
TEST_F(GitHubActionsModuleTest, PausesFollowActiveRunsAndTheLastFailureShowsUntilAnAnswer)
{
    module->start();
    const QSignalSpy redrawn(module.get(), &DevModule::changed);
    const WorkflowRun done = run("CI main completed success");
    EXPECT_EQ(answer(QList { done, run("CI main in_progress") }), 15) << "active anywhere, not only first";
    EXPECT_EQ(redrawn.count(), 1);
    nextPoll();
    EXPECT_EQ(answer(GitHubError::missingToken()), 60);
    EXPECT_EQ(module->errorText(), QStringLiteral("Kein GitHub-Token hinterlegt."));
    nextPoll();
    module->stop();
    EXPECT_EQ(api->runs.abortedCount(), 1);
    module->start();
    credentials.markRefused(QStringLiteral("ghp_test")); // what the real client does on a 401
    EXPECT_EQ(module->overlayRows().at(0).detail, GitHubTokenState::refusedText());
    EXPECT_EQ(module->overlayRows().at(0).pane, QStringLiteral("githubAccount")) << "a new token is saved there";
    ASSERT_TRUE(api->runs.deliver(Polled(QList { done }, true)));
    EXPECT_EQ(scheduler.nextDelay(), 15) << "unchanged: a success, the run still active";
    // A new token (or server) drops the runs and the command under way and polls afresh; a button
    // made before it sends nothing, as run ids of another server may name another run.
    const ModuleCommand cancel = module->details().at(2).commands.value(0);
    ASSERT_EQ(cancel.label, QStringLiteral("Abbrechen"));
    cancel.run();
    credentials.setToken(QStringLiteral("ghp_new"));
    EXPECT_EQ(module->errorText(), std::nullopt);
    EXPECT_EQ(module->compactStatus(), std::nullopt);
    EXPECT_EQ(module->overlayRows().at(0).detail, QStringLiteral("L\u00E4dt \u2026"));
    EXPECT_EQ(api->commands.abortedCount(), 1);
    EXPECT_EQ(api->runs.waiting(), 1);
    cancel.run();
    EXPECT_EQ(api->commands.arguments.size(), 1);
}

TEST_F(GitHubActionsModuleTest, FollowsTheWatchedListWithItsFiltersAndAnnouncesUnmutedNewsAfterEachFirstAnswer)
{
    module->start();
    const WorkflowRun broken = run("CI main completed failure 1");
    answer(QList { broken });
    nextPoll();
    const WorkflowRun lint = run("Lint main completed failure 2");
    answer(QList { lint, broken });
    ASSERT_EQ(events.size(), 1);
    EXPECT_EQ(events[0].link, lint.htmlURL) << "the run's page";
    EXPECT_EQ(takeTexts(), QStringList({ QStringLiteral("Lint fehlgeschlagen \u00B7 main") }))
        << "what the first answer found was there before";

    watch({ QStringLiteral("o/r"), QStringLiteral("O/B") }); // b is asked at once
    WorkflowRun deploy = run("Deploy main in_progress - 5 mallory/r"); // from a fork
    deploy.repository = QStringLiteral("o/b"); // the row takes GitHub's spelling
    EXPECT_EQ(answer(QList { deploy, run("CI main completed failure 4") }, QStringLiteral("O/B")), 15);
    EXPECT_TRUE(events.isEmpty());
    scheduler.advance(60);
    answer(GitHubError::http(404));
    EXPECT_EQ(module->errorText(), QStringLiteral("o/r: Repository nicht gefunden oder kein Zugriff"));
    EXPECT_EQ(module->overlayRows().at(0).pane, module->id()) << "the list to mend it in";
    EXPECT_EQ(module->overlayRows().at(1),
        (ModuleRow { QStringLiteral("Deploy \u00B7 b"), QStringLiteral("mallory:main \u00B7 l\u00E4uft"),
            deploy.updatedAt, ModuleStatus::Severity::Active, deploy.htmlURL }));

    // Dropping b drops its poll in flight.
    watch({ QStringLiteral("o/r") });
    EXPECT_EQ(api->runs.abortedCount(), 1);

    // Muting asks nothing new; a branch is asked of GitHub at once, and its first answer only recorded.
    const auto setOptions = [&](const QVariantMap &options) {
        prefs.store->setValue(GitHubRepository::optionsKey, QVariantMap { { QStringLiteral("O/R"), options } });
    };
    const qsizetype asked = api->runs.arguments.size();
    setOptions({ { QStringLiteral("muted"), true } });
    EXPECT_EQ(api->runs.arguments.size(), asked);
    setOptions(
        { { QStringLiteral("muted"), true }, { QStringLiteral("branches"), QStringList { QStringLiteral("main") } } });
    ASSERT_TRUE(
        api->runs.answer(QList { run("CI main completed failure 7"), run("CI main completed success 6 mallory/r") },
            QStringLiteral("repos/o/r/actions/runs?per_page=10&branch=main")));
    EXPECT_EQ(module->runs(QStringLiteral("o/r")).size(), 1) << "a fork's main is not the repository's";
    nextPoll();
    ASSERT_TRUE(api->runs.answer(QList { run("Lint main completed failure 8") }));
    EXPECT_TRUE(events.isEmpty()) << "muted";
    setOptions({ { QStringLiteral("branches"), QStringLiteral("main") } });
    EXPECT_EQ(api->runs.arguments.size(), asked + 2) << "unmuting asks nothing new either";
    nextPoll();
    ASSERT_TRUE(api->runs.answer(QList { run("Lint main completed success 9") }));
    EXPECT_EQ(takeTexts(), QStringList({ QStringLiteral("Lint wieder erfolgreich \u00B7 main") }));

    // A workflow by name and a wildcard are sifted here, from a longer page; the row sees only what passes.
    setOptions({ { QStringLiteral("branches"), QStringList { QStringLiteral("release/*"), QStringLiteral("dev") } },
        { QStringLiteral("workflow"), QStringLiteral("deploy") } });
    const WorkflowRun release = run("Deploy release/2 completed failure 12");
    ASSERT_TRUE(
        api->runs.answer(QList { run("CI release/2 completed failure 13"), run("Deploy releases completed failure 14"),
                             release, run("Deploy main completed failure 11") },
            QStringLiteral("repos/o/r/actions/runs?per_page=50")));
    EXPECT_EQ(module->runs(QStringLiteral("o/r")), QList { release });
    EXPECT_EQ(module->compactStatus()->text, QStringLiteral("Deploy \u00B7 release/2"));
    setOptions({ { QStringLiteral("workflow"), QStringLiteral("Deploy") } }); // by name alone: sifted too
    EXPECT_EQ(api->runs.waitingArguments(), QStringList { QStringLiteral("repos/o/r/actions/runs?per_page=50") });
    ASSERT_TRUE(api->runs.answer(QList { release }));
    setOptions({ { QStringLiteral("workflow"), QStringLiteral(".github/workflows/ci.yml") } });
    EXPECT_EQ(api->runs.waitingArguments(),
        QStringList { QStringLiteral("repos/o/r/actions/workflows/ci.yml/runs?per_page=10") });
}

// Against a local HTTPS server: a failed run offers to re-run its failed jobs, a running one to be
// cancelled, a successful one nothing; GitHub taking a command brings the next poll at once, a
// refusal says what the token lacks and is not sent again, and stays while the run offers the command.
TEST_F(GitHubActionsModuleTest, RunCommandsArePostedOnceAndThePollFollowsAtOnce)
{
    HttpsTestServer server;
    ASSERT_TRUE(server.start());
    QNetworkAccessManager network;
    GitHubTransport::Endpoint endpoint;
    endpoint.apiRoot = server.origin();
    endpoint.extraTrustedCertificates = { HttpsTestServer::certificate() };
    module = std::make_unique<GitHubActionsModule>(
        *prefs.store, bus, std::make_unique<GitHubClient>(network, credentials, endpoint), credentials, scheduler);
    const QString run
        = uR"({"id":%1,"name":"CI","head_branch":"main","status":"%2","conclusion":%3,)"
          uR"("created_at":"2026-12-08T08:00:00Z","updated_at":"2026-12-08T08:00:00Z","html_url":"https://x/%1"})"_s;
    // Runs 1 (failed), 2 (as given) and 3 (successful).
    const auto answerRuns = [&](const QString &status, const QString &conclusion) {
        server.setResponse(u"/repos/o/r/actions/runs"_s,
            Response::json(R"({"workflow_runs":[)" + run.arg(u"1"_s, u"completed"_s, uR"("failure")"_s).toUtf8() + ","
                + run.arg(u"2"_s, status, conclusion).toUtf8() + ","
                + run.arg(u"3"_s, u"completed"_s, uR"("success")"_s).toUtf8() + "]}"));
    };
    answerRuns(u"in_progress"_s, u"null"_s);
    server.setResponse(u"/repos/o/r/actions/runs/1/rerun-failed-jobs"_s, Response::json("", 201));
    server.setResponse(u"/repos/o/r/actions/runs/2/cancel"_s,
        Response::json(R"({"message":"Resource not accessible by personal access token"})", 403));
    // Until no transfer runs any more.
    const auto settle = [&] {
        EXPECT_TRUE(QTest::qWaitFor(
            [&] { return std::ranges::none_of(network.findChildren<QNetworkReply *>(), &QNetworkReply::isRunning); },
            15000));
    };
    // The requests since the last call, as "<method> <path>".
    const auto sent = [&] {
        QStringList lines;
        for (const HttpsTestServer::Request &request : server.requests())
            lines.append(QString::fromUtf8(request.method + ' ' + request.path()));
        server.clearRequests();
        return lines;
    };

    module->start();
    settle();
    QList<ModuleDetail> details = module->details();
    ASSERT_EQ(details.size(), 3);
    ASSERT_EQ(details[0].commands.size(), 1);
    EXPECT_EQ(details[0].commands[0].label, u"Fehlgeschlagene Jobs neu starten"_s);
    ASSERT_EQ(details[1].commands.size(), 1);
    EXPECT_EQ(details[1].commands[0].label, u"Abbrechen"_s);
    EXPECT_TRUE(details[2].commands.isEmpty()) << "a successful run offers nothing";
    sent();

    details[0].commands[0].run();
    EXPECT_TRUE(module->details()[0].commands[0].underWay);
    details[0].commands[0].run(); // pressed again while under way: nothing more is sent
    settle();
    EXPECT_EQ(sent(),
        QStringList({ u"POST /repos/o/r/actions/runs/1/rerun-failed-jobs"_s, u"GET /repos/o/r/actions/runs"_s }))
        << "taken: the poll goes out at once, without its pause";
    EXPECT_FALSE(module->details()[0].commands[0].underWay);

    module->details()[1].commands[0].run();
    settle();
    scheduler.advance(scheduler.nextDelay()); // the next poll in its time
    settle();
    EXPECT_EQ(sent(), QStringList({ u"POST /repos/o/r/actions/runs/2/cancel"_s, u"GET /repos/o/r/actions/runs"_s }))
        << "a refusal is not sent again";
    EXPECT_EQ(module->details()[1].message,
        u"Der Token darf keine Läufe starten oder abbrechen (Berechtigung actions: write nötig)."_s);
    answerRuns(u"completed"_s, uR"("cancelled")"_s);
    scheduler.advance(scheduler.nextDelay());
    settle();
    EXPECT_EQ(module->details()[1].message, QString()) << "the refusal goes with the command it was about";
}

} // namespace

// What the program shows when the GitHub API fails it, with everything between the modules and the
// wire real: the network manager, TLS, the clients with their timeouts, the strict decoding.
#include "AppFixture.h"
#include "QtPrinters.h"

#include "core/EventBus.h"
#include "core/prefs/AppPreferences.h"
#include "modules/github_actions/GitHubActionsModule.h"
#include "services/GitHubCredentials.h"

#include <QNetworkReply>
#include <QTest>

namespace {

using namespace Qt::StringLiterals;
using Response = HttpsTestServer::Response;
using GitHubFaults = AppFixture;

// After a good poll the API fails: the status line keeps what it showed (a refused token takes it
// over), the Actions module says what went wrong, nothing is announced, and the first poll after the
// API mends recovers.
TEST_F(GitHubFaults, KeepWhatWasShownAndRecover)
{
    const QByteArray goodRuns
        = R"({"workflow_runs":[{"id":1,"name":"CI","head_branch":"main","status":"completed",)"
          R"("conclusion":"success","created_at":"2026-12-07T10:00:00Z","updated_at":"2026-12-07T10:05:00Z",)"
          R"("html_url":"https://github.com/teskarvo/Tarnlet/actions/runs/1"}]})";
    const QString failed = u"Läufe konnten nicht geladen werden."_s;
    const struct {
        const char *name;
        Response response;
        QString error;
    } faults[] = {
        { "401", Response::json(R"({"message":"Bad credentials"})", 401), GitHubCredentials::refusedText() },
        { "404", Response::json(R"({"message":"Not Found"})", 404), u"Repository nicht gefunden oder kein Zugriff"_s },
        { "500", Response::json("", 500), failed },
        { "body cut off", Response::withMode(Response::Mode::CloseMidBody, goodRuns), failed },
        { "invalid JSON", Response::json(R"({"workflow_runs":[{"id":)"), failed },
        { "answer never ends", Response::withMode(Response::Mode::StallMidBody, goodRuns), failed },
    };
    // Polls wait until no transfer runs (not for the server's count: a request sent on a connection
    // the server is closing fails without reaching it); each module re-arms as its transfer ends.
    const auto idle = [this] { return !transfersRunning(); };
    const auto answer = [this](const Response &runs, const Response &notifications) {
        server.setResponse(u"/repos/teskarvo/Tarnlet/actions/runs"_s, runs);
        server.setResponse(u"/notifications"_s, notifications);
    };

    prefs.store->setValue(AppPreferences::showSettingsOnLaunch, false);
    endpoint.transferTimeoutMs = 3000; // for the silent answers; ample for a handshake on a loaded machine
    answer(Response::json(goodRuns), Response::json("[]"));
    create().applicationDidFinishLaunching();
    app->eventBus().subscribe([this](const ModuleEvent &event) { notices << event.text; });
    const DevModule *actions = app->registry().module(u"github.actions"_s);
    ASSERT_TRUE(QTest::qWaitFor([&] { return actions->compactStatus() && idle(); }, 20000));
    const QString shown = actions->compactStatus()->text;

    for (const auto &fault : faults) {
        SCOPED_TRACE(fault.name);
        for (int poll = 0; poll < 3; ++poll) { // two failing (the second one backing off), then mended
            const bool failing = poll < 2;
            answer(
                failing ? fault.response : Response::json(goodRuns), failing ? fault.response : Response::json("[]"));
            scheduler.advance(600); // however far off the back-off has put it
            EXPECT_TRUE(QTest::qWaitFor(idle, 20000));
            EXPECT_EQ(actions->errorText(), failing ? std::optional(fault.error) : std::nullopt);
            EXPECT_EQ(actions->compactStatus().value().text,
                failing && fault.error == GitHubCredentials::refusedText() ? fault.error : shown);
        }
    }
    EXPECT_TRUE(notices.isEmpty()) << notices.join(u'\n').toStdString();
}

} // namespace

// What the program shows when the GitHub API fails it, with everything between the modules and the
// wire real: the network manager, TLS, the clients with their timeouts, the strict decoding.
#include "AppFixture.h"
#include "QtPrinters.h"

#include "core/EventBus.h"
#include "core/prefs/AppPreferences.h"
#include "integrations/github/GitHubCredentials.h"
#include "integrations/github/GitHubTokenState.h"
#include "modules/github_actions/GitHubActionsModule.h"

#include <QNetworkReply>
#include <QTest>

#include <tuple>

namespace {

using namespace Qt::StringLiterals;
using Response = HttpsTestServer::Response;
using GitHubFaults = AppFixture;

// After a good poll the API fails: the status line keeps what it showed (a refused token takes it
// over), the Actions module says what went wrong, nothing is announced, and the first poll after the
// API mends recovers.
TEST_F(GitHubFaults, KeepWhatWasShownAndRecover)
{
    const QByteArray goodRuns = runsPage(1, u"success"_s);
    const QString failed = u"Läufe konnten nicht geladen werden."_s;
    const std::tuple<const char *, Response, QString> faults[] = {
        { "401", Response::json(R"({"message":"Bad credentials"})", 401), GitHubTokenState::refusedText() },
        { "404", Response::json(R"({"message":"Not Found"})", 404), u"Repository nicht gefunden oder kein Zugriff"_s },
        { "500", Response::json("", 500), failed },
        { "body cut off", Response::withMode(Response::Mode::CloseMidBody, goodRuns), failed },
        { "invalid JSON", Response::json(R"({"workflow_runs":[{"id":)"), failed },
    };
    const auto answer = [this](const Response &runs, const Response &notifications) {
        server.setResponse(u"/repos/teskarvo/Tarnlet/actions/runs"_s, runs);
        server.setResponse(u"/notifications"_s, notifications);
    };

    prefs.store->setValue(AppPreferences::showSettingsOnLaunch, false);
    answer(Response::json(goodRuns), Response::json("[]"));
    create().applicationDidFinishLaunching();
    app->eventBus().subscribe([this](const ModuleEvent &event) { notices << event.text; });
    const DevModule *actions = app->registry().module(u"github.actions"_s);
    runUntil(1); // the first polls
    ASSERT_TRUE(actions->compactStatus());
    const QString shown = actions->compactStatus()->text;

    for (const auto &[name, response, error] : faults) {
        SCOPED_TRACE(name);
        answer(response, response);
        runUntil(scheduler.now() + 600); // polls failing and backing off
        EXPECT_EQ(actions->errorText(), error);
        EXPECT_EQ(actions->compactStatus().value().text, error == GitHubTokenState::refusedText() ? error : shown);
        answer(Response::json(goodRuns), Response::json("[]"));
        runUntil(scheduler.now() + 600);
        EXPECT_EQ(actions->errorText(), std::nullopt);
        EXPECT_EQ(actions->compactStatus().value().text, shown);
    }
    EXPECT_TRUE(notices.isEmpty()) << notices.join(u'\n').toStdString();
}

} // namespace

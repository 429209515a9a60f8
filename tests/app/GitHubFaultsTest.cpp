// What the program shows when the GitHub API fails it, with everything between the modules and the
// wire real: the network manager, TLS, the clients with their timeouts, the strict decoding.
#include "AppFixture.h"
#include "QtPrinters.h"

#include "core/ModuleEvent.h"
#include "core/prefs/AppPreferences.h"
#include "modules/github_actions/GitHubActionsModule.h"
#include "notch/NotchModel.h"
#include "notch/NotchPanel.h"
#include "services/GitHubCredentials.h"

#include <QNetworkReply>
#include <QTest>

#include <algorithm>

namespace {

using namespace Qt::StringLiterals;

const QString runsPath = QStringLiteral("/repos/teskarvo/Tarnlet/actions/runs");
const QString runsFailed = QStringLiteral("Läufe konnten nicht geladen werden.");
const QString shownStatus = QStringLiteral("CI · main");
const QByteArray goodRuns
    = R"({"total_count":1,"workflow_runs":[{"id":1,"name":"CI","head_branch":"main","status":"completed",)"
      R"("conclusion":"success","created_at":"2026-12-07T10:00:00Z","updated_at":"2026-12-07T10:05:00Z",)"
      R"("html_url":"https://github.com/teskarvo/Tarnlet/actions/runs/1"}]})";

struct ApiFault {
    const char *name;
    HttpsTestServer::Response response;
    QString errorText = runsFailed;
};

void PrintTo(const ApiFault &fault, std::ostream *out)
{
    *out << fault.name;
}

class GitHubApiFault : public AppFixture, public ::testing::WithParamInterface<ApiFault> {
protected:
    void launchGitHubOnly()
    {
        prefs.store->setValue(u"disabledModuleIDs"_s, QStringList { u"docker"_s });
        prefs.store->setValue(AppPreferences::showSettingsOnLaunch, false);
        endpoint.transferTimeoutMs = 3000; // for the silent answers; ample for a handshake on a loaded machine
        answer(HttpsTestServer::Response::json(goodRuns), HttpsTestServer::Response::json("[]"));
        create();
        app->eventBus().subscribe([this](const ModuleEvent &event) { notices << event.text; });
        launch();
        actions = qobject_cast<GitHubActionsModule *>(app->registry().module(u"github.actions"_s));
        ASSERT_NE(actions, nullptr);
    }

    void answer(const HttpsTestServer::Response &runs, const HttpsTestServer::Response &notifications)
    {
        server.setResponse(runsPath, runs);
        server.setResponse(u"/notifications"_s, notifications);
    }

    // Runs the next poll of both modules, however far off the back-off has put it, and waits until
    // their transfers have ended: each module re-arms as its transfer ends, and a poll still under
    // way would miss the next advance. (Not the server's count of requests: a request sent on a
    // connection the server is closing fails without reaching it.)
    void nextPoll()
    {
        const auto running = [this] {
            const QList<QNetworkReply *> replies = network.findChildren<QNetworkReply *>();
            return std::count_if(replies.cbegin(), replies.cend(), [](auto *reply) { return reply->isRunning(); });
        };
        const auto settled = [&] { return QTest::qWaitFor([&] { return running() == 0; }, 20000); };
        EXPECT_TRUE(settled()) << "a transfer from before";
        scheduler.advance(600);
        EXPECT_GE(running(), 2) << "both modules poll";
        EXPECT_TRUE(settled());
    }

    GitHubActionsModule *actions = nullptr;
};

// After a good poll the API fails: the status line keeps what it showed (a refused token takes it
// over), the Actions module says what went wrong, nothing is announced, the token is said nowhere,
// and the first poll after the API mends recovers.
TEST_P(GitHubApiFault, KeepsWhatItShowedAndRecovers)
{
    launchGitHubOnly();
    ASSERT_TRUE(QTest::qWaitFor([&] { return actions->compactStatus().has_value(); }, 20000));
    ASSERT_EQ(actions->compactStatus()->text, shownStatus);

    answer(GetParam().response, GetParam().response);
    for (int poll = 0; poll < 2; ++poll) { // the second one backing off, still failing
        nextPoll();
        EXPECT_EQ(actions->errorText(), GetParam().errorText);
        ASSERT_TRUE(actions->compactStatus());
        EXPECT_EQ(actions->compactStatus()->text,
            GetParam().errorText == GitHubCredentials::refusedText() ? GetParam().errorText : shownStatus);
    }

    answer(HttpsTestServer::Response::json(goodRuns), HttpsTestServer::Response::json("[]"));
    nextPoll();
    EXPECT_EQ(actions->errorText(), std::nullopt);
    EXPECT_EQ(actions->compactStatus()->text, shownStatus);
    EXPECT_TRUE(notices.isEmpty()) << notices.join(u'\n').toStdString();
    EXPECT_TRUE(app->notch()->panel().isVisible());
}

using Mode = HttpsTestServer::Response::Mode;
INSTANTIATE_TEST_SUITE_P(Answers, GitHubApiFault,
    ::testing::Values(
        ApiFault { "Unauthorized401", HttpsTestServer::Response::json(R"({"message":"Bad credentials"})", 401),
            GitHubCredentials::refusedText() },
        ApiFault { "NotFound404", HttpsTestServer::Response::json(R"({"message":"Not Found"})", 404),
            QStringLiteral("Repository nicht gefunden oder kein Zugriff") },
        ApiFault { "ServerError500", HttpsTestServer::Response::json("", 500) },
        ApiFault { "BodyCutOff", HttpsTestServer::Response::withMode(Mode::CloseMidBody, goodRuns) },
        ApiFault { "InvalidJson", HttpsTestServer::Response::json(R"({"total_count":1,"workflow_runs":[{"id":)") },
        ApiFault { "AnswerNeverEnds", HttpsTestServer::Response::withMode(Mode::StallMidBody, goodRuns) }),
    [](const ::testing::TestParamInfo<ApiFault> &row) { return std::string(row.param.name); });

} // namespace

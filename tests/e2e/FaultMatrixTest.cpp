// Faults the program meets in daily use, one case per fault, checked on the application as it is
// wired in src/app (AppDelegate with its real modules, clients and overlay) talking to a real HTTPS
// server, and on the Docker module running the real curl against a unix socket. Every case checks
// that nothing is lost: what was shown before the fault stays, and the next poll recovers.
#include "HttpsTestServer.h"
#include "InMemorySecretStore.h"
#include "ManualScheduler.h"
#include "QtPrinters.h"
#include "TempPreferences.h"
#include "UnixHttpServer.h"

#include "app/AppDelegate.h"
#include "core/ModuleEvent.h"
#include "core/TimerScheduler.h"
#include "core/prefs/AppPreferences.h"
#include "modules/docker/DockerClient.h"
#include "modules/docker/DockerModule.h"
#include "modules/github_actions/GitHubActionsModule.h"
#include "notch/NotchController.h"
#include "notch/NotchModel.h"
#include "notch/NotchPanel.h"
#include "platform/DesktopServices.h"
#include "platform/headless/HeadlessDesktop.h"
#include "services/GitHubCredentials.h"
#include "services/QtProcessRunner.h"
#include "updates/Updater.h"

#include <QDateTime>
#include <QFile>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>

namespace {

const QString token = QStringLiteral("ghp_faultMatrixSecret");
const QString runsPath = QStringLiteral("/repos/teskarvo/Tarnlet/actions/runs");
const QString notificationsPath = QStringLiteral("/notifications");
const QString runsFailedText = QStringLiteral("Läufe konnten nicht geladen werden.");
const QString shownStatus = QStringLiteral("CI · main");
constexpr int waitMs = 20000; // a hang guard only

QByteArray goodRuns()
{
    return R"({"total_count":1,"workflow_runs":[{"id":1,"name":"CI","head_branch":"main","status":"completed",)"
           R"("conclusion":"success","created_at":"2026-12-07T10:00:00Z","updated_at":"2026-12-07T10:05:00Z",)"
           R"("html_url":"https://github.com/teskarvo/Tarnlet/actions/runs/1"}]})";
}

class NoUpdates final : public Updater {
public:
    void startUpdater() override { }
    void checkForUpdates() override { }
    bool automaticallyChecksForUpdates() const override { return false; }
    void setAutomaticallyChecksForUpdates(bool) override { }
    bool canCheckForUpdates() const override { return false; }
};

// The application with the desktop faked and everything behind the GitHub modules real: the
// network manager, the clients with their timeouts, TLS, the strict decoding.
class ProgramFaults : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(server.start());
        secrets.items.insert(QStringLiteral("github.pat"), token);
        endpoint.apiRoot = server.origin();
        endpoint.extraTrustedCertificates = { HttpsTestServer::certificate() };
        endpoint.transferTimeoutMs = 3000; // for the silent answers; ample for a handshake on a loaded machine
        server.setResponse(runsPath, HttpsTestServer::Response::json(goodRuns()));
        server.setResponse(notificationsPath, HttpsTestServer::Response::json("[]"));
    }

    void launch(PreferenceStore *store = nullptr)
    {
        PreferenceStore &preferences = store ? *store : *prefs.store;
        if (!store) {
            preferences.setValue(
                QString::fromLatin1(ModuleRegistry::disabledModuleIDsKey), QStringList { QStringLiteral("docker") });
            preferences.setValue(AppPreferences::showSettingsOnLaunch, false);
        }
        desktop = createHeadlessDesktopServices(screen);
        app = std::make_unique<AppDelegate>(AppServices { preferences, scheduler, secrets, network, processes, desktop,
            std::make_unique<NoUpdates>(), endpoint, [this](const QString &line) { output << line; } });
        app->eventBus().subscribe([this](const ModuleEvent &event) { output << event.text; });
        app->applicationDidFinishLaunching();
        actions = qobject_cast<GitHubActionsModule *>(app->registry().module(QStringLiteral("github.actions")));
        ASSERT_NE(actions, nullptr);
    }

    // Runs the next poll of both GitHub modules, however far off the back-off has put it, and
    // waits until their transfers have ended: each module re-arms as its transfer ends, and a poll
    // still under way would miss the next advance. (Not the server's count of requests: a request
    // sent on a connection the server is closing fails without reaching it.)
    void nextPoll()
    {
        const auto running = [this] {
            const QList<QNetworkReply *> replies = network.findChildren<QNetworkReply *>();
            return std::count_if(replies.cbegin(), replies.cend(), [](auto *reply) { return reply->isRunning(); });
        };
        const auto settled = [&] { return QTest::qWaitFor([&] { return running() == 0; }, waitMs); };
        EXPECT_TRUE(settled()) << "a transfer from before";
        scheduler.advance(600);
        EXPECT_GE(running(), 2) << "both modules poll";
        EXPECT_TRUE(settled());
    }

    void waitForFirstPoll()
    {
        ASSERT_TRUE(QTest::qWaitFor([&] { return actions->compactStatus().has_value(); }, waitMs));
        ASSERT_EQ(actions->compactStatus()->text, shownStatus);
    }

    // Nothing the program says anywhere holds the token.
    void expectTokenNowhere() const
    {
        for (const QString &line : output)
            EXPECT_FALSE(line.contains(token)) << line.toStdString();
        EXPECT_FALSE(actions->errorText().value_or(QString()).contains(token));
    }

    HttpsTestServer server;
    GitHubTransport::Endpoint endpoint;
    ScreenInfo screen = HeadlessScreenProvider::plain(QRectF(0, 0, 1440, 900));
    TempPreferences prefs;
    ManualScheduler scheduler;
    InMemorySecretStore secrets;
    QNetworkAccessManager network;
    TimerScheduler processTimers;
    QtProcessRunner processes { processTimers };
    DesktopServices desktop;
    QStringList output; // launch notices and every event published on the bus
    std::unique_ptr<AppDelegate> app;
    GitHubActionsModule *actions = nullptr;
};

struct ApiFault {
    const char *name;
    HttpsTestServer::Response response;
    QString errorText = runsFailedText;
};

void PrintTo(const ApiFault &fault, std::ostream *out)
{
    *out << fault.name;
}

class GitHubApiFault : public ProgramFaults, public ::testing::WithParamInterface<ApiFault> { };

// Both modules poll the faulty API after a good poll: the status line keeps what the good poll
// showed, the Actions module says in German that it could not load, the pull-request module stays
// silent and announces nothing twice, and the next poll after the API mends recovers.
TEST_P(GitHubApiFault, KeepsWhatItShowedAndRecovers)
{
    launch();
    waitForFirstPoll();

    server.setResponse(runsPath, GetParam().response);
    server.setResponse(notificationsPath, GetParam().response);
    nextPoll();
    EXPECT_EQ(actions->errorText(), GetParam().errorText);
    ASSERT_TRUE(actions->compactStatus());
    // A refused token takes the status line over; any other fault leaves it as it was.
    EXPECT_EQ(actions->compactStatus()->text,
        GetParam().errorText == GitHubCredentials::refusedText() ? GetParam().errorText : shownStatus);
    nextPoll(); // backing off, still failing
    EXPECT_EQ(actions->errorText(), GetParam().errorText);

    server.setResponse(runsPath, HttpsTestServer::Response::json(goodRuns()));
    server.setResponse(notificationsPath, HttpsTestServer::Response::json("[]"));
    nextPoll();
    EXPECT_EQ(actions->errorText(), std::nullopt);
    EXPECT_EQ(actions->compactStatus()->text, shownStatus);
    EXPECT_TRUE(output.isEmpty()) << output.join(u'\n').toStdString();
    expectTokenNowhere();
    EXPECT_TRUE(app->notch()->panel().isVisible());
}

INSTANTIATE_TEST_SUITE_P(Answers, GitHubApiFault,
    ::testing::Values(
        ApiFault { "Unauthorized401", HttpsTestServer::Response::json(R"({"message":"Bad credentials"})", 401),
            GitHubCredentials::refusedText() },
        ApiFault { "NotFound404", HttpsTestServer::Response::json(R"({"message":"Not Found"})", 404),
            QStringLiteral("Repository nicht gefunden oder kein Zugriff") },
        ApiFault { "ServerError500", HttpsTestServer::Response::json("", 500) },
        ApiFault { "BodyCutOff",
            HttpsTestServer::Response::withMode(HttpsTestServer::Response::Mode::CloseMidBody, goodRuns()) },
        ApiFault { "InvalidJson", HttpsTestServer::Response::json(R"({"total_count":1,"workflow_runs":[{"id":)") },
        ApiFault { "AnswerNeverEnds",
            HttpsTestServer::Response::withMode(HttpsTestServer::Response::Mode::StallMidBody, goodRuns()) },
        ApiFault { "NeverAnswers", HttpsTestServer::Response::withMode(HttpsTestServer::Response::Mode::NeverAnswer) }),
    [](const ::testing::TestParamInfo<ApiFault> &row) { return std::string(row.param.name); });

TEST_F(ProgramFaults, NoNetworkAtAll)
{
    // A port that was free a moment ago: the connection is refused, as on a machine offline.
    QTcpServer closed;
    ASSERT_TRUE(closed.listen(QHostAddress::LocalHost));
    endpoint.apiRoot = QUrl(QStringLiteral("https://127.0.0.1:%1").arg(closed.serverPort()));
    closed.close();

    launch();
    ASSERT_TRUE(QTest::qWaitFor([&] { return actions->errorText().has_value(); }, waitMs));
    EXPECT_EQ(actions->errorText(), runsFailedText);
    EXPECT_EQ(actions->compactStatus(), std::nullopt);
    // It keeps trying at its backed-off pace without a crash and without opening the overlay.
    for (int i = 0; i < 3; ++i) {
        scheduler.advance(scheduler.nextDelay());
        QTest::qWait(50);
    }
    EXPECT_EQ(actions->errorText(), runsFailedText);
    EXPECT_TRUE(output.isEmpty()) << output.join(u'\n').toStdString();
    EXPECT_FALSE(app->notch()->model().isExpanded());
}

TEST_F(ProgramFaults, NoToken)
{
    secrets.items.clear();
    launch();
    ASSERT_TRUE(QTest::qWaitFor([&] { return actions->errorText().has_value(); }, waitMs));
    EXPECT_EQ(actions->errorText(), QStringLiteral("Kein GitHub-Token hinterlegt."));
    scheduler.advance(scheduler.nextDelay());
    QTest::qWait(50);
    EXPECT_TRUE(server.requests().isEmpty()) << "sent without a token";
}

// A preference file that does not parse: the program starts on the defaults and leaves the file
// alone; the first change the user makes keeps the old bytes aside before writing a fresh file.
TEST_F(ProgramFaults, SettingsFileCorrupt)
{
    const QByteArray garbage = "{\"disabledModuleIDs\": [\"docker\"], \x01 truncated";
    {
        QFile file(prefs.path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(garbage);
    }
    const auto readBack = [](const QString &path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    };
    auto store = prefs.reopen();
    launch(store.get());
    waitForFirstPoll();
    EXPECT_TRUE(app->notch()->panel().isVisible());
    EXPECT_EQ(readBack(prefs.path), garbage);

    app->registry().setEnabled(false, QStringLiteral("github.pullRequests"));
    EXPECT_EQ(readBack(prefs.path + QStringLiteral(".corrupt")), garbage);
    EXPECT_EQ(prefs.reopen()->stringListValue(QString::fromLatin1(ModuleRegistry::disabledModuleIDsKey)),
        QStringList { QStringLiteral("github.pullRequests") });
}

// The only screen goes away while the overlay is open and comes back in another size: the open
// overlay survives and hangs from the top centre of the screen that is there now.
TEST_F(ProgramFaults, ScreenRemovedAndAddedWhileOpen)
{
    launch();
    app->showTestEvent();
    ASSERT_TRUE(app->notch()->model().isExpanded());
    auto &screens = static_cast<HeadlessScreenProvider &>(*desktop.screens);

    screens.setScreens({}, std::nullopt);
    app->showTestEvent();
    EXPECT_TRUE(app->notch()->panel().isVisible());

    const ScreenInfo wide = HeadlessScreenProvider::notched(QRectF(0, 0, 2560, 1440), 200, 32);
    screens.setScreens({ wide }, wide);
    EXPECT_TRUE(app->notch()->model().isExpanded());
    const QRect frame = app->notch()->panel().geometry();
    EXPECT_EQ(frame.x() + frame.width() / 2, 1280);
    EXPECT_EQ(frame.top(), 0);
    scheduler.advance(60);
    EXPECT_FALSE(app->notch()->model().isExpanded()) << "the flash never closed";
}

// Runs every program through the real process runner, or, while `standIn` is set, that program in
// curl's place (the client's curl path is fixed).
class CurlStandIn final : public ProcessRunner {
public:
    explicit CurlStandIn(ProcessRunner &real)
        : m_real(real)
    { }
    void run(const QString &program, const QStringList &arguments, const Limits &bounds, Done done) override
    {
        m_real.run(standIn.isEmpty() ? program : standIn, arguments, bounds, std::move(done));
    }
    QString standIn;

private:
    ProcessRunner &m_real;
};

const QString dockerMissingText = QStringLiteral("Docker ist nicht installiert oder nicht gestartet.");
const QString dockerSilentText = QStringLiteral("Docker antwortet nicht.");
const QByteArray oneContainer = R"([{"Id":"a","Names":["/web"],"Image":"i","State":"running","Status":"Up"}])";
const QString oneRunning = QStringLiteral("1 von 1 Containern laufen");

// The Docker module as the program builds it (the real client, the real curl through the real
// process runner) against an engine socket in a fresh folder; each case starts from a good poll.
class DockerFaults : public ::testing::Test {
protected:
    void SetUp() override
    {
        engine = std::make_unique<UnixHttpServer>(socketPath);
        ASSERT_TRUE(engine->isListening());
        engine->setReply({ 200, oneContainer });
        ASSERT_EQ(poll(), oneRunning);
    }

    // One poll; returns the status line, else the German error text.
    QString poll()
    {
        bool done = false;
        module.refresh([&] { done = true; });
        EXPECT_TRUE(QTest::qWaitFor([&] { return done; }, waitMs));
        if (module.errorText()) {
            EXPECT_EQ(module.compactStatus(), std::nullopt);
            return *module.errorText();
        }
        return module.compactStatus() ? module.compactStatus()->text : QString();
    }

    QTemporaryDir dir;
    QString socketPath = dir.filePath(QStringLiteral("docker.sock"));
    ManualScheduler scheduler;
    TimerScheduler processTimers;
    QtProcessRunner runner { processTimers };
    CurlStandIn curl { runner };
    DockerModule module { scheduler,
        std::make_unique<DockerClient>(curl, ProcessRunner::Limits { 1, 1024 * 1024 }, QStringList { socketPath }) };
    std::unique_ptr<UnixHttpServer> engine;
};

TEST_F(DockerFaults, SocketMissing)
{
    engine.reset();
    ASSERT_FALSE(QFile::exists(socketPath));
    EXPECT_EQ(poll(), dockerMissingText);
    EXPECT_TRUE(module.containers().isEmpty()); // the engine is gone, and so are its containers

    engine = std::make_unique<UnixHttpServer>(socketPath); // started later, found at the next poll
    engine->setReply({ 200, oneContainer });
    EXPECT_EQ(poll(), oneRunning);
}

TEST_F(DockerFaults, SocketStale)
{
    engine.reset();
    ASSERT_TRUE(UnixHttpServer::makeStaleSocket(socketPath));
    EXPECT_EQ(poll(), dockerSilentText);
    EXPECT_EQ(module.containers().size(), 1);

    QFile::remove(socketPath);
    engine = std::make_unique<UnixHttpServer>(socketPath);
    engine->setReply({ 200, oneContainer });
    EXPECT_EQ(poll(), oneRunning);
}

TEST_F(DockerFaults, EngineHung)
{
    engine->setReply({ 200, {}, true });
    EXPECT_EQ(poll(), dockerSilentText);
    EXPECT_EQ(module.containers().size(), 1);

    engine->setReply({ 200, oneContainer });
    EXPECT_EQ(poll(), oneRunning);
}

TEST_F(DockerFaults, CurlMissing)
{
    const qsizetype asked = engine->requests().size();
    curl.standIn = dir.filePath(QStringLiteral("bin/curl"));
    EXPECT_EQ(poll(), dockerSilentText);
    EXPECT_EQ(engine->requests().size(), asked);
    EXPECT_EQ(module.containers().size(), 1);

    curl.standIn.clear();
    EXPECT_EQ(poll(), oneRunning);
}

} // namespace

// The whole program through a simulated day: the application delegate with all three modules and
// the real updater, the real network stack and TLS against a local HTTPS API whose runs and
// notifications change over the day, the Docker client against a local engine socket, and a headless
// desktop with pointer, flash, screen and settings-window traffic. After a warm-up, resident
// memory and open file descriptors must stay flat.
#include "HttpsTestServer.h"
#include "InMemorySecretStore.h"
#include "ManualScheduler.h"
#include "TempPreferences.h"
#include "UnixHttpServer.h"

#include "app/AppDelegate.h"
#include "core/prefs/AppPreferences.h"
#include "notch/NotchController.h"
#include "notch/NotchModel.h"
#include "platform/headless/HeadlessDesktop.h"
#include "services/QtProcessRunner.h"
#include "settings/SettingsView.h"
#include "settings/SettingsWindowController.h"
#include "updates/GitHubReleaseUpdater.h"
#include "updates/UpdateDialogs.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocalSocket>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QSslSocket>
#include <QTimer>

#include <gtest/gtest.h>

#include <cstdio>
#include <list>

#include <unistd.h>

namespace {

constexpr double minute = 60;
constexpr double hour = 60 * minute;
constexpr double day = 24 * hour;
// Everything the program allocates once (caches, the settings window, the first TLS session)
// happens in the first hours; from here on memory must not grow.
constexpr double warmUp = 3 * hour;
constexpr long rssToleranceKiB = 2048;

const QDateTime dayStart = QDateTime::fromString(QStringLiteral("2026-12-07T06:00:00Z"), Qt::ISODate);
const QByteArray repoPath = "/repos/teskarvo/Tarnlet";

QByteArray json(const QJsonValue &value)
{
    return value.isArray() ? QJsonDocument(value.toArray()).toJson(QJsonDocument::Compact)
                           : QJsonDocument(value.toObject()).toJson(QJsonDocument::Compact);
}

QString isoAt(double seconds)
{
    return dayStart.addMSecs(qint64(seconds * 1000)).toString(Qt::ISODate);
}

// A GitHub API whose answers follow the simulated clock: a workflow run starts every 20 minutes
// (queued for a minute, then in progress for eight, every fifth one fails), a new pull-request
// thread turns up every 45 minutes (every fourth a merge or a close), and the latest release is
// the running version.
class DayOfGitHub {
public:
    static constexpr double runEvery = 20 * minute;
    static constexpr double threadEvery = 45 * minute;

    explicit DayOfGitHub(const ManualScheduler &clock)
        : m_clock(clock)
    { }

    HttpsTestServer::Response answer(const HttpsTestServer::Request &request, const QUrl &origin) const
    {
        const QByteArray path = request.path();
        if (path == repoPath + "/actions/runs")
            return HttpsTestServer::Response::json(runs());
        if (path == "/notifications")
            return HttpsTestServer::Response::json(notifications(origin));
        if (path.startsWith(repoPath + "/pulls/")) {
            const bool merged = path.split('/').last().toInt() % 8 == 7;
            return HttpsTestServer::Response::json(json(QJsonObject { { QStringLiteral("merged_at"),
                merged ? QJsonValue(isoAt(m_clock.now())) : QJsonValue(QJsonValue::Null) } }));
        }
        if (path == repoPath + "/releases/latest")
            return HttpsTestServer::Response::json(json(QJsonObject {
                { QStringLiteral("tag_name"), QStringLiteral("v" TARNLET_VERSION) },
                { QStringLiteral("html_url"), QStringLiteral("https://github.com/teskarvo/Tarnlet/releases/latest") },
            }));
        return HttpsTestServer::Response::json("{}", 404);
    }

private:
    QByteArray runs() const
    {
        QJsonArray list;
        const int newest = int(m_clock.now() / runEvery);
        for (int id = newest; id > newest - 10 && id >= 0; --id) {
            const double age = m_clock.now() - id * runEvery;
            const bool done = age >= 9 * minute;
            list.append(QJsonObject {
                { QStringLiteral("id"), id + 1 },
                { QStringLiteral("name"), QStringLiteral("CI") },
                { QStringLiteral("status"),
                    done ? QStringLiteral("completed")
                         : (age < minute ? QStringLiteral("queued") : QStringLiteral("in_progress")) },
                { QStringLiteral("conclusion"),
                    done ? QJsonValue(id % 5 == 4 ? QStringLiteral("failure") : QStringLiteral("success"))
                         : QJsonValue(QJsonValue::Null) },
                { QStringLiteral("head_branch"), QStringLiteral("main") },
                { QStringLiteral("created_at"), isoAt(id * runEvery) },
                { QStringLiteral("updated_at"), isoAt(m_clock.now()) },
                { QStringLiteral("html_url"),
                    QStringLiteral("https://github.com/teskarvo/Tarnlet/actions/runs/%1").arg(id + 1) },
            });
        }
        return json(
            QJsonObject { { QStringLiteral("total_count"), list.size() }, { QStringLiteral("workflow_runs"), list } });
    }

    // The four newest threads are unread.
    QByteArray notifications(const QUrl &origin) const
    {
        static const QStringList reasons { QStringLiteral("review_requested"), QStringLiteral("comment"),
            QStringLiteral("mention"), QStringLiteral("state_change") };
        QJsonArray list;
        const int newest = int(m_clock.now() / threadEvery);
        for (int number = newest; number > newest - 4 && number >= 0; --number) {
            const QString pull = QString::fromLatin1(repoPath) + QStringLiteral("/pulls/%1").arg(number);
            list.append(QJsonObject {
                { QStringLiteral("id"), QString::number(1000 + number) },
                { QStringLiteral("reason"), reasons[number % reasons.size()] },
                { QStringLiteral("unread"), true },
                { QStringLiteral("subject"),
                    QJsonObject { { QStringLiteral("title"), QStringLiteral("Change %1").arg(number) },
                        { QStringLiteral("type"), QStringLiteral("PullRequest") },
                        { QStringLiteral("url"), origin.toString() + pull } } },
                { QStringLiteral("repository"),
                    QJsonObject { { QStringLiteral("full_name"), QStringLiteral("teskarvo/Tarnlet") } } },
            });
        }
        return json(list);
    }

    const ManualScheduler &m_clock;
};

// The engine's container list: two containers, the second one stopped during odd hours.
QByteArray containers(double now)
{
    const bool bothRunning = int(now / hour) % 2 == 0;
    QJsonArray list;
    for (int i = 0; i < 2; ++i) {
        const bool running = i == 0 || bothRunning;
        list.append(QJsonObject {
            { QStringLiteral("Id"), QStringLiteral("c%1").arg(i) },
            { QStringLiteral("Names"), QJsonArray { QStringLiteral("/service-%1").arg(i) } },
            { QStringLiteral("Image"), QStringLiteral("busybox") },
            { QStringLiteral("State"), running ? QStringLiteral("running") : QStringLiteral("exited") },
            { QStringLiteral("Status"), running ? QStringLiteral("Up") : QStringLiteral("Exited (0)") },
        });
    }
    return json(list);
}

// Runs the Docker client's curl. A real curl for every one of a day's 5760 polls would take
// minutes of wall time (about 27 ms a run), so every `realEvery`-th poll (one every ten simulated
// minutes) runs the real curl through the production
// process runner against the local engine socket, and the others are answered in-process with
// the same list. Either way the socket the client found is replaced by the local engine's.
class EngineRunner final : public ProcessRunner {
public:
    static constexpr int realEvery = 40;

    EngineRunner(ProcessRunner &real, QString socketPath, std::function<QByteArray()> list)
        : m_real(real)
        , m_socketPath(std::move(socketPath))
        , m_list(std::move(list))
    { }

    void run(const QString &program, const QStringList &arguments, const Limits &limits, Done done) override
    {
        if (++m_runs % realEvery == 0) {
            ++realRuns;
            QStringList local = arguments;
            local[local.indexOf(QStringLiteral("--unix-socket")) + 1] = m_socketPath;
            m_real.run(program, local, limits, std::move(done));
            return;
        }
        ++pending;
        QMetaObject::invokeMethod(
            QCoreApplication::instance(),
            [this, done = std::move(done), output = m_list()] {
                --pending;
                done(Result { Result::Outcome::Exited, 0, output, {} });
            },
            Qt::QueuedConnection);
    }

    int pending = 0;
    int realRuns = 0;

private:
    ProcessRunner &m_real;
    QString m_socketPath;
    std::function<QByteArray()> m_list;
    int m_runs = 0;
};

class SilentDialogs final : public UpdateDialogs {
public:
    void showUpdateAvailable(const QString &, const QString &, const QUrl &) override { ++shown; }
    void showUpToDate(const QString &) override { ++shown; }
    void showError(const QString &) override { ++shown; }
    int shown = 0;
};

struct Footprint {
    long rssKiB = 0;
    int fds = 0;
};

Footprint measure()
{
    Footprint now;
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (statm.open(QIODevice::ReadOnly))
        now.rssKiB = statm.readAll().split(' ').value(1).toLong() * (sysconf(_SC_PAGESIZE) / 1024);
    now.fds = int(
        QDir(QStringLiteral("/proc/self/fd")).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot).size());
    return now;
}

const ScreenInfo plainScreen = HeadlessScreenProvider::plain(QRectF(0, 0, 1440, 900));
const ScreenInfo notchedScreen = HeadlessScreenProvider::notched(QRectF(0, 0, 1512, 982), 200, 32);

class Soak : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(server.start());
        ASSERT_TRUE(engine.isListening());
        server.setHandler(
            [this](const HttpsTestServer::Request &request) { return gitHub.answer(request, server.origin()); });
        // The client looks for the engine's socket below the home folder (unless a system engine
        // exists); the runner points curl at the local engine either way.
        qputenv("HOME", home.path().toLocal8Bit());
        QDir(home.path()).mkpath(QStringLiteral(".docker/run"));
        QFile::link(engineSocket, home.filePath(QStringLiteral(".docker/run/docker.sock")));
        secrets.items.insert(QStringLiteral("github.pat"), QStringLiteral("ghp_soakToken"));
        prefs.store->setValue(AppPreferences::showSettingsOnLaunch, false);

        GitHubTransport::Endpoint endpoint;
        endpoint.apiRoot = server.origin();
        endpoint.extraTrustedCertificates = { HttpsTestServer::certificate() };
        GitHubReleaseUpdater::Config release { QStringLiteral("teskarvo/Tarnlet"), QStringLiteral(TARNLET_VERSION),
            endpoint };
        auto updater = std::make_unique<GitHubReleaseUpdater>(release, network, *prefs.store, scheduler, dialogs,
            [this] { return dayStart.addMSecs(qint64(scheduler.now() * 1000)); });
        desktop = createHeadlessDesktopServices(plainScreen);
        app = std::make_unique<AppDelegate>(AppServices { *prefs.store, scheduler, secrets, network, engineRunner,
            desktop, std::move(updater), endpoint, [](const QString &) {} });
        app->eventBus().subscribe([this](const ModuleEvent &) { ++busEvents; });
        app->applicationDidFinishLaunching();
    }

    void TearDown() override
    {
        for (CancelHandle &job : traffic)
            job.cancel();
    }

    HeadlessPointerMonitor &pointer() { return static_cast<HeadlessPointerMonitor &>(*desktop.pointer); }
    HeadlessScreenProvider &screens() { return static_cast<HeadlessScreenProvider &>(*desktop.screens); }

    // Runs `action` every `period` simulated seconds, the first time after `offset`.
    void every(double period, double offset, std::function<void()> action)
    {
        auto *slot = &traffic.emplace_back();
        auto repeat = std::make_shared<std::function<void()>>();
        *repeat = [this, period, slot, action = std::move(action), weak = std::weak_ptr(repeat)] {
            action();
            if (const auto again = weak.lock())
                *slot = scheduler.schedule(period, *again);
        };
        repeaters.push_back(repeat);
        *slot = scheduler.schedule(offset, *repeat);
    }

    // A user's day at the desk: the pointer rests on the overlay and wanders off again, clicks pin
    // and unpin it, the test event flashes, a notched screen comes and goes, and the settings
    // window is opened and closed.
    void startTraffic()
    {
        const auto onNotch = [this] {
            const QRectF frame = screens().mainScreen()->frame;
            return QPointF(frame.center().x(), frame.top() + 8);
        };
        every(5 * minute, 0, [this, onNotch] {
            for (int step = 0; step < 20; ++step)
                pointer().moveTo(onNotch() + QPointF(step - 10, 0));
        });
        every(5 * minute, 2 * minute, [this] {
            for (int step = 0; step < 20; ++step)
                pointer().moveTo(QPointF(100 + step * 10, 300));
        });
        every(17 * minute, 7 * minute, [this, onNotch] { pointer().clickAt(onNotch()); });
        every(17 * minute, 9 * minute, [this] { pointer().clickAt(QPointF(50, 50)); });
        every(30 * minute, 11 * minute, [this] { app->showTestEvent(); });
        every(hour, 25 * minute, [this] {
            const ScreenInfo next = screens().mainScreen()->name == plainScreen.name ? notchedScreen : plainScreen;
            screens().setScreens({ next }, next);
        });
        every(3 * hour, hour, [this] { app->showSettings(); });
        every(3 * hour, 2 * hour, [this] { app->settings()->window()->close(); });
    }

    // True while a transfer or a curl run is still under way. (Idle connections the network manager
    // keeps open for later requests do not count.)
    bool busy() const
    {
        constexpr auto direct = Qt::FindDirectChildrenOnly;
        return engineRunner.pending > 0 || !network.findChildren<QNetworkReply *>(direct).isEmpty()
            || !processRunner.findChildren<QObject *>(direct).isEmpty()
            || !engine.findChildren<QLocalSocket *>(direct).isEmpty();
    }

    // Lets the event loop run until everything the last jobs started has finished; false when
    // something is still under way after a generous real-time bound.
    bool settle()
    {
        QTimer heartbeat; // bounds each wait for events
        heartbeat.start(20);
        QAbstractEventDispatcher *dispatcher = QAbstractEventDispatcher::instance();
        const QDeadlineTimer deadline(30000);
        for (int idleRounds = 0; idleRounds < 2;) {
            if (deadline.hasExpired())
                return false;
            dispatcher->processEvents(busy() ? QEventLoop::WaitForMoreEvents : QEventLoop::AllEvents);
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            scheduler.runDue();
            idleRounds = busy() ? 0 : idleRounds + 1;
        }
        return true;
    }

    // Moves the clock job by job until `until`, settling after each.
    void runUntil(double until)
    {
        while (scheduler.now() < until) {
            const double next = scheduler.nextDelay();
            scheduler.advance(next < 0 ? until - scheduler.now() : std::min(next, until - scheduler.now()));
            if (!settle()) {
                constexpr auto direct = Qt::FindDirectChildrenOnly;
                FAIL() << "still busy at " << scheduler.now() << " s: " << engineRunner.pending << " answers, "
                       << network.findChildren<QNetworkReply *>(direct).size() << " transfers, "
                       << processRunner.findChildren<QObject *>(direct).size() << " curl runs, "
                       << engine.findChildren<QLocalSocket *>(direct).size() << " engine connections";
            }
            server.clearRequests();
            ++steps;
        }
    }

    QTemporaryDir home;
    QString engineSocket = home.filePath(QStringLiteral("engine.sock"));
    ManualScheduler scheduler;
    HttpsTestServer server;
    DayOfGitHub gitHub { scheduler };
    UnixHttpServer engine { engineSocket };
    QtProcessRunner processRunner { scheduler };
    EngineRunner engineRunner { processRunner, engineSocket, [this] { return containers(scheduler.now()); } };
    TempPreferences prefs;
    InMemorySecretStore secrets;
    QNetworkAccessManager network;
    SilentDialogs dialogs;
    DesktopServices desktop;
    std::unique_ptr<AppDelegate> app;
    std::list<CancelHandle> traffic;
    std::vector<std::shared_ptr<std::function<void()>>> repeaters;
    int busEvents = 0;
    int steps = 0;
};

TEST_F(Soak, ADayOfPollsPointerTrafficAndFlashesLeavesMemoryAndFileDescriptorsFlat)
{
    startTraffic();
    runUntil(warmUp);
    ASSERT_FALSE(HasFatalFailure());
    const Footprint before = measure();
    const int eventsBefore = busEvents;
    const int curlBefore = engineRunner.realRuns;

    runUntil(day);
    ASSERT_FALSE(HasFatalFailure());
    const Footprint after = measure();

    std::printf("Soak over %.0f simulated hours (%d steps, %d module events, %d real curl runs):\n"
                "  resident memory %ld KiB after the warm-up, %ld KiB at the end (%+ld KiB)\n"
                "  open file descriptors %d after the warm-up, %d at the end\n",
        day / hour, steps, busEvents, engineRunner.realRuns, before.rssKiB, after.rssKiB, after.rssKiB - before.rssKiB,
        before.fds, after.fds);
    RecordProperty("rss_kib_before", int(before.rssKiB));
    RecordProperty("rss_kib_after", int(after.rssKiB));
    RecordProperty("fds_before", before.fds);
    RecordProperty("fds_after", after.fds);

    // The day really happened: news was announced, curl ran, every module ended on a good poll.
    EXPECT_GT(busEvents - eventsBefore, 20);
    EXPECT_GT(engineRunner.realRuns - curlBefore, 100);
    for (const DevModule *module : app->registry().modules()) {
        if (module->id() != u"github.pullRequests") {
            EXPECT_TRUE(module->compactStatus().has_value()) << module->id().toStdString();
        }
    }
    EXPECT_EQ(dialogs.shown, 0); // automatic checks found the running version and stayed quiet

    EXPECT_LT(after.rssKiB - before.rssKiB, rssToleranceKiB);
    EXPECT_EQ(after.fds, before.fds);
}

} // namespace

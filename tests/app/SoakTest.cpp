// The application through a simulated day: all three modules and the updater polling a GitHub whose
// answers move with the clock and a Docker engine on a local socket (the real curl for every
// fortieth poll), while the pointer, flashes, screens and the settings window come and go. After a
// warm-up, resident memory and open file descriptors must stay flat: a leak per poll, per curl run
// or in the TLS sessions of kept-alive connections shows over a day.
#include "AppFixture.h"
#include "UnixHttpServer.h"

#include "core/ModuleEvent.h"
#include "core/prefs/AppPreferences.h"
#include "services/QtProcessRunner.h"
#include "settings/SettingsView.h"
#include "settings/SettingsWindowController.h"

#include <QAbstractEventDispatcher>
#include <QDeadlineTimer>
#include <QDir>
#include <QLocalSocket>
#include <QNetworkReply>

#include <cstdio>

#include <unistd.h>

namespace {

using namespace Qt::StringLiterals;

constexpr double minute = 60, hour = 3600;

QString isoAt(double seconds)
{
    return QDateTime::fromSecsSinceEpoch(1'800'000'000 + qint64(seconds), Qt::UTC).toString(Qt::ISODate);
}

// A run starts every 20 minutes and takes 9 (every fifth fails); a pull-request thread turns up
// every 45 minutes (every other one a state change, whose pull request is looked up: merged when
// its number ends in 7); the latest release is the running version.
HttpsTestServer::Response gitHubAt(double now, const QString &path, const QString &origin)
{
    const QString repo = u"/repos/teskarvo/Tarnlet"_s;
    QStringList list;
    if (path == repo + u"/actions/runs"_s) {
        for (int id = int(now / (20 * minute)); id >= 0 && list.size() < 5; --id) {
            const bool done = now - id * 20 * minute >= 9 * minute;
            const QString conclusion = !done ? u"null"_s : id % 5 == 4 ? u"\"failure\""_s : u"\"success\""_s;
            list << uR"({"id":%1,"name":"CI","head_branch":"main","status":"%2","conclusion":%3,"created_at":"%4",)"
                    uR"("updated_at":"%4","html_url":"https://github.com/teskarvo/Tarnlet/actions/runs/%1"})"_s
                        .arg(id + 1)
                        .arg(done ? u"completed"_s : u"in_progress"_s, conclusion, isoAt(id * 20 * minute));
        }
        return HttpsTestServer::Response::json(
            uR"({"total_count":%1,"workflow_runs":[%2]})"_s.arg(list.size()).arg(list.join(u',')).toUtf8());
    }
    if (path == u"/notifications") {
        for (int n = int(now / (45 * minute)); n >= 0 && list.size() < 4; --n)
            list << uR"({"id":"%1","reason":"%2","unread":true,"subject":{"title":"Change %1","type":"PullRequest",)"
                    uR"("url":"%3%4/pulls/%1"},"repository":{"full_name":"teskarvo/Tarnlet"}})"_s.arg(n)
                        .arg(n % 2 ? u"state_change"_s : u"review_requested"_s, origin, repo);
        return HttpsTestServer::Response::json(u"[%1]"_s.arg(list.join(u',')).toUtf8());
    }
    if (path.startsWith(repo + u"/pulls/"_s))
        return HttpsTestServer::Response::json(
            path.endsWith(u'7') ? R"({"merged_at":"2027-01-15T08:00:00Z"})" : R"({"merged_at":null})");
    if (path == repo + u"/releases/latest"_s)
        return HttpsTestServer::Response::json(
            R"({"tag_name":"v)" TARNLET_VERSION R"(","html_url":"https://github.com/teskarvo/Tarnlet/releases/1"})");
    return HttpsTestServer::Response::json("{}", 404);
}

// Two containers, the second stopped during odd hours.
QByteArray containersAt(double now)
{
    const QString second = int(now / hour) % 2 ? u"exited"_s : u"running"_s;
    return uR"([{"Id":"a","Names":["/web"],"Image":"i","State":"running","Status":"Up"},)"
           uR"({"Id":"b","Names":["/db"],"Image":"i","State":"%1","Status":"%1"}])"_s.arg(second)
               .toUtf8();
}

// A real curl for every poll of a day would take minutes of wall time: every `realEvery`-th run
// goes through the production runner to the local engine, the others are answered in-process.
struct EngineRunner final : ProcessRunner {
    static constexpr int realEvery = 40;
    EngineRunner(ProcessRunner &real, QString socket, const ManualScheduler &clock)
        : m_real(real)
        , m_socket(std::move(socket))
        , m_clock(clock)
    { }
    void run(const QString &program, const QStringList &arguments, const Limits &limits, Done done) override
    {
        if (++m_runs % realEvery == 0) {
            ++realRuns;
            QStringList local = arguments;
            local[local.indexOf(u"--unix-socket"_s) + 1] = m_socket;
            return m_real.run(program, local, limits, std::move(done));
        }
        ++pending;
        QTimer::singleShot(0, [this, done = std::move(done), output = containersAt(m_clock.now())] {
            --pending;
            done(Result { Result::Outcome::Exited, 0, output, {} });
        });
    }
    int pending = 0, realRuns = 0;
    ProcessRunner &m_real;
    QString m_socket;
    const ManualScheduler &m_clock;
    int m_runs = 0;
};

std::pair<long, qsizetype> footprint() // resident KiB, open descriptors
{
    QFile statm(u"/proc/self/statm"_s);
    const long pages = statm.open(QIODevice::ReadOnly) ? statm.readAll().split(' ').value(1).toLong() : 0;
    return { pages * (sysconf(_SC_PAGESIZE) / 1024),
        QDir(u"/proc/self/fd"_s).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot).size() };
}

class Soak : public AppFixture {
protected:
    void SetUp() override
    {
        AppFixture::SetUp();
        ASSERT_TRUE(engine.isListening());
        server.setHandler([this](const auto &request) {
            return gitHubAt(scheduler.now(), QString::fromLatin1(request.path()), server.origin().toString());
        });
        // The client looks for the engine's socket below the home folder (unless a system engine
        // exists); the runner points curl at the local engine either way.
        qputenv("HOME", home.path().toLocal8Bit());
        QDir(home.path()).mkpath(u".docker/run"_s);
        QFile::link(engineSocket, home.filePath(u".docker/run/docker.sock"_s));
        engine.setReply({ 200, containersAt(0) });
        prefs.store->setValue(AppPreferences::showSettingsOnLaunch, false);
        processes = &engineRunner;
        launch();
        app->eventBus().subscribe([this](const ModuleEvent &) { ++busEvents; });
        tick = [this] {
            traffic(minutes++);
            ticking = scheduler.schedule(minute, tick);
        };
        ticking = scheduler.schedule(minute, tick);
    }
    void TearDown() override { ticking.cancel(); }

    // A user's day at the desk, minute by minute.
    void traffic(int m)
    {
        const QPointF onNotch(screens().mainScreen()->frame.center().x(), 8);
        for (int step = 0; step < 20 && (m % 5 == 0 || m % 5 == 2); ++step)
            pointer().moveTo(m % 5 ? QPointF(100 + step * 10, 300) : onNotch + QPointF(step - 10, 0));
        if (m % 17 == 7 || m % 17 == 9)
            pointer().clickAt(m % 17 == 7 ? onNotch : QPointF(50, 50));
        if (m % 30 == 11)
            app->showTestEvent();
        if (m % 60 == 25) {
            const ScreenInfo next = m % 120 == 25 ? HeadlessScreenProvider::notched(QRectF(0, 0, 1512, 982), 200, 32)
                                                  : HeadlessScreenProvider::plain(QRectF(0, 0, 1440, 900));
            screens().setScreens({ next }, next);
        }
        if (m % 180 == 60)
            app->showSettings();
        if (m % 180 == 120)
            app->settings()->window()->close();
    }

    // A transfer, a curl run or an engine connection still under way. (Idle connections the
    // network manager keeps for later requests do not count.)
    bool busy() const
    {
        constexpr auto direct = Qt::FindDirectChildrenOnly;
        return engineRunner.pending > 0 || !network.findChildren<QNetworkReply *>(direct).isEmpty()
            || !realRunner.findChildren<QObject *>(direct).isEmpty()
            || !engine.findChildren<QLocalSocket *>(direct).isEmpty();
    }

    // Moves the clock job by job until `until`, letting the event loop finish what each job started.
    void runUntil(double until)
    {
        QTimer heartbeat; // bounds each wait for events
        heartbeat.start(20);
        while (scheduler.now() < until) {
            engine.setReply({ 200, containersAt(scheduler.now()) });
            const double next = scheduler.nextDelay();
            scheduler.advance(next < 0 ? until - scheduler.now() : std::min(next, until - scheduler.now()));
            const QDeadlineTimer deadline(30000);
            for (int idle = 0; idle < 2; idle = busy() ? 0 : idle + 1) {
                ASSERT_FALSE(deadline.hasExpired()) << "still busy at " << scheduler.now() << " s";
                QAbstractEventDispatcher::instance()->processEvents(
                    busy() ? QEventLoop::WaitForMoreEvents : QEventLoop::AllEvents);
                QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
                scheduler.runDue();
            }
            server.clearRequests();
        }
    }

    QTemporaryDir home;
    QString engineSocket = home.filePath(u"engine.sock"_s);
    UnixHttpServer engine { engineSocket };
    QtProcessRunner realRunner { scheduler };
    EngineRunner engineRunner { realRunner, engineSocket, scheduler };
    std::function<void()> tick;
    CancelHandle ticking;
    int minutes = 0;
    int busEvents = 0;
};

TEST_F(Soak, ADayOfPollsPointerTrafficAndFlashesLeavesMemoryAndFileDescriptorsFlat)
{
    runUntil(3 * hour); // caches, the settings window and the first TLS sessions are made by now
    ASSERT_FALSE(HasFatalFailure());
    const auto [rssBefore, fdsBefore] = footprint();
    const int eventsBefore = busEvents, curlBefore = engineRunner.realRuns;

    runUntil(24 * hour);
    ASSERT_FALSE(HasFatalFailure());
    const auto [rssAfter, fdsAfter] = footprint();
    std::printf("resident %ld KiB after the warm-up, %ld KiB at the end; descriptors %lld, then %lld\n", rssBefore,
        rssAfter, qlonglong(fdsBefore), qlonglong(fdsAfter));

    // The day really happened: news was announced, curl ran, the modules ended on a good poll, and
    // the updater's checks found the running version and stayed quiet.
    EXPECT_GT(busEvents - eventsBefore, 20);
    EXPECT_GT(engineRunner.realRuns - curlBefore, 100);
    for (const DevModule *module : app->registry().modules())
        EXPECT_TRUE(module->compactStatus() || module->id() == u"github.pullRequests") << module->id().toStdString();
    EXPECT_EQ(dialogs.shown, 0);

    EXPECT_LT(rssAfter - rssBefore, 2048);
    EXPECT_EQ(fdsAfter, fdsBefore);
}

} // namespace

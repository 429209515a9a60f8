// The Docker module against a real engine: dockerd of the test's own, reached the way a user with
// Docker Desktop would reach it (the socket below the home folder), with a tiny busybox image.

#include "ManualScheduler.h"

#include "core/TimerScheduler.h"
#include "modules/docker/DockerClient.h"
#include "modules/docker/DockerModule.h"
#include "services/QtProcessRunner.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <signal.h>
#include <unistd.h>

#include <gtest/gtest.h>

namespace {

const QString dockerd = QStringLiteral("/usr/sbin/dockerd");
const QString dockerCli = QStringLiteral("/usr/bin/docker");
const QString busybox = QStringLiteral("/bin/busybox");

// Runs a command line (words separated by blanks) to its end; a failure fails the test.
void runToEnd(const QString &program, const QString &arguments)
{
    QProcess process;
    process.start(program, arguments.split(u' ', Qt::SkipEmptyParts));
    const bool finished = process.waitForFinished(60000);
    if (!finished)
        process.kill();
    process.waitForFinished();
    EXPECT_TRUE(finished && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0)
        << arguments.toStdString() << ": " << process.readAllStandardError().toStdString();
}

// A Docker engine of the test's own, everything (its configuration too) below `root`, its API at
// `socket`. The destructor removes its containers, ends the daemon by its pid and removes the
// run-time folders on the host that the engine made and left empty.
struct PrivateEngine {
    QString root;
    QString socket;
    QProcess daemon;
    QStringList hostFoldersMade;

    PrivateEngine(QString rootPath, QString socketPath)
        : root(std::move(rootPath))
        , socket(std::move(socketPath))
    { }
    ~PrivateEngine()
    {
        if (daemon.state() == QProcess::NotRunning)
            return;
        docker(QStringLiteral("rm --force tarnlet-running tarnlet-broken"));
        ::kill(pid_t(daemon.processId()), SIGTERM);
        EXPECT_TRUE(daemon.waitForFinished(30000));
        for (const QString &folder : hostFoldersMade)
            QDir().rmdir(folder); // only when empty
    }
    QString path(const char *name) const { return root + u'/' + QString::fromLatin1(name); }

    // Starts dockerd, waits for its socket, and imports an image holding only a static busybox.
    bool start()
    {
        for (const char *folder : { "/run/containerd/s", "/run/containerd", "/run/docker/plugins", "/run/docker" }) {
            if (!QFileInfo::exists(QString::fromLatin1(folder)))
                hostFoldersMade.append(QString::fromLatin1(folder));
        }
        QDir().mkpath(QFileInfo(socket).path());
        QDir().mkpath(path("rootfs/bin"));
        QFile config(path("daemon.json"));
        if (!config.open(QIODevice::WriteOnly) || !QFile::copy(busybox, path("rootfs/bin/busybox")))
            return false;
        config.write("{\"deprecated-key-path\": \"" + QFile::encodeName(path("key.json")) + "\"}\n");
        config.close();
        daemon.setProcessChannelMode(QProcess::MergedChannels);
        daemon.setStandardOutputFile(path("dockerd.log"));
        daemon.start(dockerd,
            QStringLiteral("--config-file %1 --host unix://%2 --data-root %3 --exec-root %4 --pidfile %5 "
                           "--storage-driver vfs --iptables=false --ip6tables=false --bridge=none")
                .arg(path("daemon.json"), socket, path("data"), path("exec"), path("dockerd.pid"))
                .split(u' '));
        if (!daemon.waitForStarted()
            || !QTest::qWaitFor([this] { return QFileInfo::exists(socket) || daemon.state() != QProcess::Running; }, 60000)
            || daemon.state() != QProcess::Running)
            return false;
        runToEnd(QStringLiteral("/bin/tar"), QStringLiteral("-C %1 -cf %2 .").arg(path("rootfs"), path("rootfs.tar")));
        docker(QStringLiteral("import %1 tarnlet-e2e:busybox").arg(path("rootfs.tar")));
        return true;
    }
    void docker(const QString &arguments) { runToEnd(dockerCli, QStringLiteral("--host=unix://") + socket + u' ' + arguments); }
};

TEST(DockerEngine, ModuleListsStartsAndStopsContainersAndShowsTheEnginesRefusal)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "dockerd needs root";
    for (const QString &program : { dockerd, dockerCli, busybox })
        ASSERT_TRUE(QFileInfo(program).isExecutable()) << program.toStdString() << " (docker.io, busybox-static)";
    if (QFileInfo::exists(QStringLiteral("/var/run/docker.sock")))
        GTEST_SKIP() << "an engine at /var/run/docker.sock would be found before the test's own";

    QTemporaryDir root(QDir::tempPath() + QStringLiteral("/tarnlet-docker-XXXXXX"));
    qputenv("HOME", QFile::encodeName(root.filePath(QStringLiteral("home"))));
    // First use in this process, so the list follows the temporary home.
    PrivateEngine engine(root.path(), DockerClient::candidateSocketPaths().at(1));
    ASSERT_TRUE(engine.start()) << engine.path("dockerd.log").toStdString();
    // As PID 1, sleep ignores SIGTERM: a short stop timeout keeps "Stoppen" quick. The other
    // container's command does not exist, so the engine refuses to start it.
    engine.docker(QStringLiteral("run --detach --network=none --stop-timeout=1 --name tarnlet-running "
                                 "tarnlet-e2e:busybox %1 sleep 600").arg(busybox));
    engine.docker(QStringLiteral("create --network=none --name tarnlet-broken tarnlet-e2e:busybox /missing"));
    ASSERT_FALSE(::testing::Test::HasFailure());

    TimerScheduler clock;
    QtProcessRunner runner(clock);
    ManualScheduler pauses; // the pauses between polls never run out: each command reads the list anew
    DockerModule module(pauses, std::make_unique<DockerClient>(runner, ProcessRunner::Limits { 10, 1024 * 1024 }));
    const auto statusBecomes = [&](const char *text) {
        return QTest::qWaitFor(
            [&] { return module.compactStatus() && module.compactStatus()->text == QString::fromLatin1(text); }, 30000);
    };
    const auto detailOf = [&](const QString &accessibleName) {
        for (const ModuleDetail &detail : module.details()) {
            if (detail.command && detail.command->accessibleName == accessibleName)
                return detail;
        }
        ADD_FAILURE() << "no command " << accessibleName.toStdString();
        return ModuleDetail {};
    };
    const auto press = [&](const char *accessibleName) { detailOf(QString::fromLatin1(accessibleName)).command->run(); };

    module.start();
    ASSERT_TRUE(statusBecomes("1 von 2 Containern laufen")) << module.errorText().value_or(QString()).toStdString();
    EXPECT_EQ(module.overlayRows().at(0).detail, QStringLiteral("tarnlet-running"));
    press("tarnlet-running stoppen");
    EXPECT_TRUE(statusBecomes("0 von 2 Containern laufen"));
    press("tarnlet-running starten");
    EXPECT_TRUE(statusBecomes("1 von 2 Containern laufen"));

    press("tarnlet-broken starten");
    const QString broken = QStringLiteral("tarnlet-broken starten");
    ASSERT_TRUE(QTest::qWaitFor([&] { return !detailOf(broken).message.isEmpty(); }, 30000));
    EXPECT_TRUE(detailOf(broken).message.contains(QStringLiteral("/missing"))) << detailOf(broken).message.toStdString();
}

} // namespace

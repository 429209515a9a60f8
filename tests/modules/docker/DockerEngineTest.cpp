// The Docker module against a real engine: dockerd of the test's own, reached the way a user with
// Docker Desktop would reach it (the socket below the home folder), with a tiny busybox image.
#include "ManualScheduler.h"

#include "core/TimerScheduler.h"
#include "modules/docker/DockerClient.h"
#include "modules/docker/DockerModule.h"
#include "services/QtProcessRunner.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <signal.h>
#include <unistd.h>

#include <gtest/gtest.h>

namespace {

// Runs a shell command line to its end; a failure fails the test.
bool shell(const QString &line)
{
    QProcess process;
    process.start(QStringLiteral("/bin/sh"), { QStringLiteral("-c"), line });
    const bool ok
        = process.waitForFinished(60000) && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
    EXPECT_TRUE(ok) << line.toStdString() << ": " << process.readAllStandardError().toStdString();
    return ok;
}

// A Docker engine of the test's own with everything (its configuration too) in a fresh folder.
// Stopping removes its containers, ends the daemon by its pid and removes the host's run-time
// folders the engine made, when they are left empty; folders that were there before stay.
struct PrivateEngine {
    QTemporaryDir root { QDir::tempPath() + QStringLiteral("/tarnlet-docker-XXXXXX") };
    QProcess daemon;
    QStringList hostFoldersMade;

    ~PrivateEngine() { stop(); }

    // Starts dockerd with its API at `socket`, imports an image holding only busybox, and makes two
    // containers of it. As PID 1, sleep ignores SIGTERM: a short stop timeout keeps "Stoppen" quick.
    // The other container's command does not exist, so the engine refuses to start it.
    bool start(const QString &socket)
    {
        qputenv("DOCKER_HOST", "unix://" + QFile::encodeName(socket)); // for the docker command
        for (const char *folder : { "/run/containerd/s", "/run/containerd", "/run/docker/plugins", "/run/docker" }) {
            if (!QFileInfo::exists(QString::fromLatin1(folder)))
                hostFoldersMade.append(QString::fromLatin1(folder));
        }
        // The shell becomes dockerd, so that the daemon ends by this process's pid.
        daemon.start(QStringLiteral("/bin/sh"),
            { QStringLiteral("-c"),
                QStringLiteral("cd %1 && mkdir -p rootfs/bin %2 && cp /bin/busybox rootfs/bin/ && "
                               "echo '{\"deprecated-key-path\": \"%1/key.json\"}' >daemon.json && "
                               "exec /usr/sbin/dockerd --config-file daemon.json --host unix://%3 --data-root %1/data "
                               "--exec-root %1/exec --pidfile %1/dockerd.pid --storage-driver vfs --iptables=false "
                               "--ip6tables=false --bridge=none >dockerd.log 2>&1")
                    .arg(root.path(), QFileInfo(socket).path(), socket) });
        if (!QTest::qWaitFor([&] { return QFileInfo::exists(socket) || daemon.state() == QProcess::NotRunning; }, 60000)
            || daemon.state() != QProcess::Running)
            return false;
        return shell(QStringLiteral("tar -C %1/rootfs -c . | docker import - tarnlet-e2e:busybox && "
                                    "docker run --detach --network=none --stop-timeout=1 --name tarnlet-running "
                                    "tarnlet-e2e:busybox /bin/busybox sleep 600 && "
                                    "docker create --network=none --name tarnlet-broken tarnlet-e2e:busybox /missing")
                         .arg(root.path()));
    }
    void stop()
    {
        if (daemon.state() == QProcess::NotRunning)
            return;
        shell(QStringLiteral("docker rm --force tarnlet-running tarnlet-broken"));
        ::kill(pid_t(daemon.processId()), SIGTERM);
        EXPECT_TRUE(daemon.waitForFinished(30000));
        for (const QString &folder : hostFoldersMade)
            QDir().rmdir(folder); // only when empty
    }
};

TEST(DockerEngine, ModuleListsStartsAndStopsContainersShowsTheEnginesRefusalAndNoticesItGone)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "dockerd needs root";
    if (QFileInfo::exists(QStringLiteral("/var/run/docker.sock")))
        GTEST_SKIP() << "an engine at /var/run/docker.sock would be found before the test's own";

    PrivateEngine engine;
    qputenv("HOME", QFile::encodeName(engine.root.filePath(QStringLiteral("home"))));
    // First use in this process, so the list follows the temporary home.
    ASSERT_TRUE(engine.start(DockerClient::candidateSocketPaths().at(1))) << "needs docker.io and busybox-static";

    TimerScheduler clock;
    QtProcessRunner runner(clock);
    ManualScheduler pauses; // the pauses between polls never run out: each command reads the list anew
    DockerModule module(pauses, std::make_unique<DockerClient>(runner, ProcessRunner::Limits { 10, 1024 * 1024 }));
    const auto statusBecomes = [&](const char *text) {
        return QTest::qWaitFor(
            [&] { return module.compactStatus() && module.compactStatus()->text == QString::fromLatin1(text); }, 30000);
    };
    const auto detailOf = [&](const char *accessibleName) {
        for (const ModuleDetail &detail : module.details()) {
            if (detail.command && detail.command->accessibleName == QString::fromLatin1(accessibleName))
                return detail;
        }
        return ModuleDetail {};
    };

    module.start();
    ASSERT_TRUE(statusBecomes("1 von 2 Containern laufen")) << module.errorText().value_or(QString()).toStdString();
    detailOf("tarnlet-running stoppen").command.value().run();
    EXPECT_TRUE(statusBecomes("0 von 2 Containern laufen"));

    detailOf("tarnlet-broken starten").command.value().run();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !detailOf("tarnlet-broken starten").message.isEmpty(); }, 30000));
    EXPECT_TRUE(detailOf("tarnlet-broken starten").message.contains(QStringLiteral("/missing")));

    // A stopped engine takes its socket along.
    engine.stop();
    module.refresh();
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return module.errorText() == QStringLiteral("Docker ist nicht installiert oder nicht gestartet."); },
        30000));
}

} // namespace

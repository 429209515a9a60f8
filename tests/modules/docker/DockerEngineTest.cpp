// The Docker module against a real engine: dockerd of the test's own, reached the way a user with
// Docker Desktop would reach it (the socket below the home folder), with a tiny busybox image.

#include "ManualScheduler.h"
#include "QtPrinters.h"

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

// Words separated by blanks, as a command line.
QStringList words(const QString &line)
{
    return line.split(u' ', Qt::SkipEmptyParts);
}

// Runs a short command to its end; a failure fails the test.
void runToEnd(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    const bool finished = process.waitForFinished(60000);
    if (!finished) {
        process.kill();
        process.waitForFinished();
    }
    EXPECT_TRUE(finished && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0)
        << (program + u' ' + arguments.join(u' ')).toStdString() << ": "
        << process.readAllStandardError().toStdString();
}

// A Docker engine of the test's own. It keeps everything below `root` (its configuration too, so
// the host's /etc/docker stays untouched) and serves its API at `socketPath`. The destructor
// removes its containers, stops the daemon by its pid and removes the run-time folders on the host
// that the engine made and left empty.
class PrivateEngine final {
public:
    PrivateEngine(const QString &root, const QString &socketPath)
        : m_root(root)
        , m_socketPath(socketPath)
    {
        for (const QString &folder : hostFolders()) {
            if (!QFileInfo::exists(folder))
                m_hostFoldersMade.append(folder);
        }
    }

    ~PrivateEngine()
    {
        if (m_daemon.state() != QProcess::NotRunning) {
            send(SIGCONT);
            QProcess::execute(dockerCli, words(hostOption() + QStringLiteral(" rm --force tarnlet-running tarnlet-stopped")));
            stop();
        }
        for (const QString &folder : m_hostFoldersMade)
            QDir().rmdir(folder); // only when empty
    }

    // Starts dockerd and waits until its socket is there.
    bool start()
    {
        QDir().mkpath(QFileInfo(m_socketPath).path());
        QFile config(path("daemon.json"));
        if (!config.open(QIODevice::WriteOnly))
            return false;
        config.write("{\"deprecated-key-path\": \"" + QFile::encodeName(path("key.json")) + "\"}\n");
        config.close();

        m_daemon.setProcessChannelMode(QProcess::MergedChannels);
        m_daemon.setStandardOutputFile(path("dockerd.log"));
        m_daemon.start(dockerd,
            words(QStringLiteral("--config-file %1 --host unix://%2 --data-root %3 --exec-root %4 --pidfile %5 "
                                 "--storage-driver vfs --iptables=false --ip6tables=false --bridge=none")
                      .arg(path("daemon.json"), m_socketPath, path("data"), path("exec"), path("dockerd.pid"))));
        return m_daemon.waitForStarted()
            && QTest::qWaitFor(
                [this] { return QFileInfo::exists(m_socketPath) || m_daemon.state() == QProcess::NotRunning; }, 60000)
            && m_daemon.state() == QProcess::Running;
    }

    void docker(const QString &arguments) { runToEnd(dockerCli, words(hostOption() + u' ' + arguments)); }

    // An image holding nothing but Debian's static busybox.
    void importBusybox()
    {
        QDir().mkpath(path("rootfs/bin"));
        ASSERT_TRUE(QFile::copy(busybox, path("rootfs/bin/busybox")));
        runToEnd(QStringLiteral("/bin/tar"), words(QStringLiteral("-C %1 -cf %2 .").arg(path("rootfs"), path("rootfs.tar"))));
        docker(QStringLiteral("import %1 tarnlet-e2e:busybox").arg(path("rootfs.tar")));
    }

    // Signals the daemon; SIGSTOP freezes it: its socket stays and takes connections, but nothing
    // answers.
    void send(int number) { ::kill(pid_t(m_daemon.processId()), number); }

    // Ends the daemon (which stops its containerd and removes its socket) by its pid.
    void stop()
    {
        send(SIGTERM);
        if (!m_daemon.waitForFinished(30000)) {
            ADD_FAILURE() << "dockerd did not end on SIGTERM; killing it";
            send(SIGKILL);
            m_daemon.waitForFinished();
        }
    }

    QByteArray log() const
    {
        QFile file(m_root + QStringLiteral("/dockerd.log"));
        return file.open(QIODevice::ReadOnly) ? file.readAll().right(4000) : QByteArray();
    }

private:
    // Places the engine and its container shims use on the host, whatever their roots.
    static QStringList hostFolders()
    {
        return words(QStringLiteral("/run/containerd/s /run/containerd /run/docker/plugins /run/docker"));
    }
    QString path(const char *name) const { return m_root + u'/' + QString::fromLatin1(name); }
    QString hostOption() const { return QStringLiteral("--host=unix://") + m_socketPath; }

    QString m_root;
    QString m_socketPath;
    QStringList m_hostFoldersMade;
    QProcess m_daemon;
};

TEST(DockerEngine, ModuleFollowsARealEngineThatStopsAnsweringAndGoesAway)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "dockerd needs root";
    for (const QString &program : { dockerd, dockerCli, busybox })
        ASSERT_TRUE(QFileInfo(program).isExecutable()) << program.toStdString() << " (docker.io, busybox-static)";
    if (QFileInfo::exists(QStringLiteral("/var/run/docker.sock")))
        GTEST_SKIP() << "an engine at /var/run/docker.sock would be found before the test's own";

    QTemporaryDir root(QDir::tempPath() + QStringLiteral("/tarnlet-docker-XXXXXX"));
    ASSERT_TRUE(root.isValid());
    qputenv("HOME", QFile::encodeName(root.filePath(QStringLiteral("home"))));
    // First use in this process, so the list follows the temporary home.
    const QString socketPath = DockerClient::candidateSocketPaths().at(1);
    ASSERT_EQ(socketPath, root.filePath(QStringLiteral("home/.docker/run/docker.sock")));

    PrivateEngine engine(root.path(), socketPath);
    ASSERT_TRUE(engine.start()) << engine.log().toStdString();
    engine.importBusybox();
    // As PID 1, sleep ignores SIGTERM: a short stop timeout keeps "Stoppen" within the time bound.
    engine.docker(QStringLiteral("run --detach --network=none --stop-timeout=1 --name tarnlet-running "
                                 "tarnlet-e2e:busybox %1 sleep 600").arg(busybox));
    engine.docker(QStringLiteral("run --network=none --name tarnlet-stopped tarnlet-e2e:busybox %1 true").arg(busybox));
    ASSERT_FALSE(::testing::Test::HasFailure()) << engine.log().toStdString();

    TimerScheduler clock;
    QtProcessRunner runner(clock);
    ManualScheduler pauses; // the 15 s pauses between polls pass by hand
    DockerModule module(pauses, std::make_unique<DockerClient>(runner, ProcessRunner::Limits { 3, 1024 * 1024 }));
    auto nextPoll = [&](auto until) {
        pauses.advance(DockerModule::pollInterval);
        return QTest::qWaitFor(until, 30000);
    };
    const auto statusBecomes = [&](const char *text) {
        return QTest::qWaitFor(
            [&] { return module.compactStatus() && module.compactStatus()->text == QString::fromLatin1(text); }, 30000);
    };

    module.start();
    ASSERT_TRUE(statusBecomes("1 von 2 Containern laufen")) << module.errorText().value_or(QString()).toStdString();
    QStringList names;
    for (const DockerContainer &container : module.containers())
        names += container.names;
    names.sort();
    EXPECT_EQ(names, QStringList({ QStringLiteral("/tarnlet-running"), QStringLiteral("/tarnlet-stopped") }));
    EXPECT_EQ(module.overlayRows().at(0).detail, QStringLiteral("tarnlet-running"));

    // Stop and start through the settings lines' commands; the list follows right after each.
    const auto press = [&](const QString &accessibleName) {
        for (const ModuleDetail &detail : module.details()) {
            if (detail.command && detail.command->accessibleName == accessibleName)
                return detail.command->run();
        }
        ADD_FAILURE() << "no command " << accessibleName.toStdString();
    };
    press(QStringLiteral("tarnlet-running stoppen"));
    EXPECT_TRUE(statusBecomes("0 von 2 Containern laufen"));
    press(QStringLiteral("tarnlet-running starten"));
    EXPECT_TRUE(statusBecomes("1 von 2 Containern laufen"));
    for (const ModuleDetail &detail : module.details())
        EXPECT_TRUE(detail.message.isEmpty()) << detail.message.toStdString();

    engine.send(SIGSTOP);
    ASSERT_TRUE(nextPoll([&] { return module.errorText().has_value(); }));
    EXPECT_EQ(module.errorText(), QStringLiteral("Docker antwortet nicht."));
    EXPECT_EQ(module.containers().size(), 2) << "the last list is kept";

    engine.send(SIGCONT);
    ASSERT_TRUE(nextPoll([&] { return !module.errorText(); }));
    EXPECT_EQ(module.compactStatus(), (ModuleStatus { QStringLiteral("1 von 2 Containern laufen"), Color::green() }));

    engine.docker(QStringLiteral("rm --force tarnlet-running tarnlet-stopped"));
    engine.stop();
    ASSERT_TRUE(nextPoll([&] { return module.errorText().has_value(); }));
    EXPECT_EQ(module.errorText(), QStringLiteral("Docker ist nicht installiert oder nicht gestartet."));
    EXPECT_TRUE(module.containers().isEmpty());
}

} // namespace

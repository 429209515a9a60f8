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
const QString image = QStringLiteral("tarnlet-e2e:busybox");

// Runs a short command to its end and returns its standard output; a failure fails the test.
QByteArray runToEnd(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    const bool finished = process.waitForFinished(60000);
    if (!finished) {
        process.kill();
        process.waitForFinished();
    }
    const QString command = program + u' ' + arguments.join(u' ');
    EXPECT_TRUE(finished && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0)
        << command.toStdString() << ": " << process.readAllStandardError().toStdString();
    return process.readAllStandardOutput();
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
            resume();
            QProcess::execute(dockerCli,
                { hostOption(), QStringLiteral("rm"), QStringLiteral("--force"), QStringLiteral("tarnlet-running"),
                    QStringLiteral("tarnlet-stopped") });
            stop();
        }
        removeHostFolders();
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
            { QStringLiteral("--config-file"), path("daemon.json"), QStringLiteral("--host"),
                QStringLiteral("unix://") + m_socketPath, QStringLiteral("--data-root"), path("data"),
                QStringLiteral("--exec-root"), path("exec"), QStringLiteral("--pidfile"), path("dockerd.pid"),
                QStringLiteral("--storage-driver"), QStringLiteral("vfs"), QStringLiteral("--iptables=false"),
                QStringLiteral("--ip6tables=false"), QStringLiteral("--bridge=none") });
        return m_daemon.waitForStarted()
            && QTest::qWaitFor(
                [this] { return QFileInfo::exists(m_socketPath) || m_daemon.state() == QProcess::NotRunning; }, 60000)
            && m_daemon.state() == QProcess::Running;
    }

    QByteArray docker(const QStringList &arguments)
    {
        return runToEnd(dockerCli, QStringList { hostOption() } + arguments);
    }

    // An image holding nothing but Debian's static busybox.
    void importBusybox()
    {
        QDir().mkpath(path("rootfs/bin"));
        ASSERT_TRUE(QFile::copy(busybox, path("rootfs/bin/busybox")));
        runToEnd(QStringLiteral("/bin/tar"),
            { QStringLiteral("-C"), path("rootfs"), QStringLiteral("-cf"), path("rootfs.tar"), QStringLiteral(".") });
        docker({ QStringLiteral("import"), path("rootfs.tar"), image });
    }

    // The engine freezes: its socket stays and takes connections, but nothing answers.
    void pause() { ::kill(pid_t(m_daemon.processId()), SIGSTOP); }
    void resume() { ::kill(pid_t(m_daemon.processId()), SIGCONT); }

    // Ends the daemon (which stops its containerd and removes its socket) by its pid.
    void stop()
    {
        ::kill(pid_t(m_daemon.processId()), SIGTERM);
        if (!m_daemon.waitForFinished(30000)) {
            ADD_FAILURE() << "dockerd did not end on SIGTERM; killing it";
            ::kill(pid_t(m_daemon.processId()), SIGKILL);
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
        return { QStringLiteral("/run/containerd/s"), QStringLiteral("/run/containerd"),
            QStringLiteral("/run/docker/plugins"), QStringLiteral("/run/docker") };
    }
    void removeHostFolders()
    {
        for (const QString &folder : m_hostFoldersMade)
            QDir().rmdir(folder); // only when empty
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
    const QString noNetwork = QStringLiteral("--network=none");
    // As PID 1, sleep ignores SIGTERM: a short stop timeout keeps "Stoppen" within the time bound.
    engine.docker({ QStringLiteral("run"), QStringLiteral("--detach"), noNetwork, QStringLiteral("--stop-timeout=1"),
        QStringLiteral("--name"), QStringLiteral("tarnlet-running"), image, busybox, QStringLiteral("sleep"),
        QStringLiteral("600") });
    engine.docker({ QStringLiteral("run"), noNetwork, QStringLiteral("--name"), QStringLiteral("tarnlet-stopped"),
        image, busybox, QStringLiteral("true") });
    ASSERT_FALSE(::testing::Test::HasFailure()) << engine.log().toStdString();

    TimerScheduler clock;
    QtProcessRunner runner(clock);
    ManualScheduler pauses; // the 15 s pauses between polls pass by hand
    DockerModule module(pauses, std::make_unique<DockerClient>(runner, ProcessRunner::Limits { 3, 1024 * 1024 }));
    auto nextPoll = [&](auto until) {
        pauses.advance(DockerModule::pollInterval);
        return QTest::qWaitFor(until, 30000);
    };

    module.start();
    ASSERT_TRUE(QTest::qWaitFor([&] { return module.compactStatus() || module.errorText(); }, 30000));
    EXPECT_EQ(module.errorText(), std::nullopt);
    EXPECT_EQ(module.compactStatus(), (ModuleStatus { QStringLiteral("1 von 2 Containern laufen"), Color::green() }));
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
    const auto statusBecomes = [&](const char *text) {
        return QTest::qWaitFor(
            [&] { return module.compactStatus() && module.compactStatus()->text == QString::fromLatin1(text); }, 30000);
    };
    press(QStringLiteral("tarnlet-running stoppen"));
    EXPECT_TRUE(statusBecomes("0 von 2 Containern laufen"));
    press(QStringLiteral("tarnlet-running starten"));
    EXPECT_TRUE(statusBecomes("1 von 2 Containern laufen"));
    for (const ModuleDetail &detail : module.details())
        EXPECT_TRUE(detail.message.isEmpty()) << detail.message.toStdString();

    engine.pause();
    ASSERT_TRUE(nextPoll([&] { return module.errorText().has_value(); }));
    EXPECT_EQ(module.errorText(), QStringLiteral("Docker antwortet nicht."));
    EXPECT_TRUE(QFileInfo::exists(socketPath));
    EXPECT_EQ(module.containers().size(), 2) << "the last list is kept";
    EXPECT_EQ(module.compactStatus(), std::nullopt);

    engine.resume();
    ASSERT_TRUE(nextPoll([&] { return !module.errorText(); }));
    EXPECT_EQ(module.compactStatus(), (ModuleStatus { QStringLiteral("1 von 2 Containern laufen"), Color::green() }));

    engine.docker({ QStringLiteral("rm"), QStringLiteral("--force"), QStringLiteral("tarnlet-running"),
        QStringLiteral("tarnlet-stopped") });
    engine.stop();
    ASSERT_TRUE(nextPoll([&] { return module.errorText().has_value(); }));
    EXPECT_EQ(module.errorText(), QStringLiteral("Docker ist nicht installiert oder nicht gestartet."));
    EXPECT_TRUE(module.containers().isEmpty());
}

} // namespace

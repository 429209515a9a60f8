// The Docker module against a real engine: dockerd of the test's own, reached the way a user with
// Docker Desktop would reach it (the socket below the home folder), with a tiny busybox image.
#include "TempPreferences.h"

#include "core/EventBus.h"
#include "core/TimerScheduler.h"
#include "integrations/docker/DockerClient.h"
#include "integrations/docker/DockerContexts.h"
#include "integrations/docker/DockerLocator.h"
#include "modules/docker/DockerModule.h"
#include "modules/docker/DockerSetup.h"
#include "services/QtProcessRunner.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
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

// A TCP port on the loopback address that nobody listens on now.
int freePort()
{
    sockaddr_in address { AF_INET, 0, { htonl(INADDR_LOOPBACK) }, {} };
    socklen_t size = sizeof address;
    const int probe = ::socket(AF_INET, SOCK_STREAM, 0);
    ::bind(probe, reinterpret_cast<const sockaddr *>(&address), size);
    ::getsockname(probe, reinterpret_cast<sockaddr *>(&address), &size);
    ::close(probe);
    return ntohs(address.sin_port);
}

// A Docker engine of the test's own with everything (its configuration too) in a fresh folder.
// Stopping removes its containers, ends the daemon by its pid and removes the host's run-time
// folders the engine made, when they are left empty; folders that were there before stay.
struct PrivateEngine {
    QTemporaryDir root { QDir::tempPath() + QStringLiteral("/tarnlet-docker-XXXXXX") };
    QProcess daemon;
    QStringList hostFoldersMade;
    // The engine also listens here, with TLS: certificates of the test's own authority (in tls/)
    // for the engine and for its one client.
    int tlsPort = freePort();

    ~PrivateEngine() { stop(); }

    // Starts dockerd with its API at `socket`, imports an image holding only busybox, and makes its
    // containers. As PID 1, sleep ignores SIGTERM: a short stop timeout keeps "Stoppen" quick.
    // One container's command does not exist, so the engine refuses to start it; one fails its
    // health check and one, with a terminal, exits with 3, both once started; two form a Compose
    // project.
    bool start(const QString &socket)
    {
        qputenv("DOCKER_HOST", "unix://" + QFile::encodeName(socket)); // for the docker command
        for (const char *folder : { "/run/containerd/s", "/run/containerd", "/run/docker/plugins", "/run/docker" }) {
            if (!QFileInfo::exists(QString::fromLatin1(folder)))
                hostFoldersMade.append(QString::fromLatin1(folder));
        }
        // The shell becomes dockerd, so that the daemon ends by this process's pid; and the daemon
        // is told to end with this process, which a crash or a test timeout would otherwise leave
        // running (and holding whatever descriptors it inherited).
        daemon.start(QStringLiteral("/bin/sh"),
            { QStringLiteral("-c"),
                QStringLiteral("cd %1 && mkdir -p rootfs/bin %2 tls && cp /bin/busybox rootfs/bin/ && "
                               "echo '{\"deprecated-key-path\": \"%1/key.json\"}' >daemon.json && cd tls && "
                               "openssl req -x509 -newkey ec -pkeyopt ec_paramgen_curve:P-256 -nodes -days 1 "
                               "-subj /CN=authority -keyout authority-key.pem -out ca.pem 2>/dev/null && "
                               "for who in engine client; do "
                               "openssl req -newkey ec -pkeyopt ec_paramgen_curve:P-256 -nodes -subj /CN=$who "
                               "-keyout $who-key.pem -out $who.csr 2>/dev/null && "
                               "echo subjectAltName=IP:127.0.0.1 >$who.ext && openssl x509 -req -days 1 -in $who.csr "
                               "-CA ca.pem -CAkey authority-key.pem -extfile $who.ext -out $who.pem 2>/dev/null; "
                               "done && cd .. && "
                               "exec setpriv --pdeathsig TERM /usr/sbin/dockerd --config-file daemon.json --host "
                               "unix://%3 --host tcp://127.0.0.1:%4 --tlsverify --tlscacert tls/ca.pem "
                               "--tlscert tls/engine.pem --tlskey tls/engine-key.pem --data-root %1/data "
                               "--exec-root %1/exec --pidfile %1/dockerd.pid --storage-driver vfs --iptables=false "
                               "--ip6tables=false --bridge=none >dockerd.log 2>&1")
                    .arg(root.path(), QFileInfo(socket).path(), socket, QString::number(tlsPort)) });
        if (!QTest::qWaitFor([&] { return QFileInfo::exists(socket) || daemon.state() == QProcess::NotRunning; }, 60000)
            || daemon.state() != QProcess::Running)
            return false;
        return shell(
            QStringLiteral("tar -C %1/rootfs -c . | docker import - tarnlet-e2e:busybox && "
                           "docker run --detach --network=none --stop-timeout=1 --name tarnlet-running "
                           "tarnlet-e2e:busybox /bin/busybox sh -c 'echo started; exec sleep 600' && "
                           "docker create --network=none --name tarnlet-broken tarnlet-e2e:busybox /missing && "
                           "docker create -t --network=none --name tarnlet-crasher tarnlet-e2e:busybox "
                           "/bin/busybox sh -c 'echo on a terminal; exit 3' && "
                           "docker create --network=none --stop-timeout=1 --name tarnlet-sick "
                           "--health-cmd false --health-interval 1s --health-retries 1 "
                           "tarnlet-e2e:busybox /bin/busybox sleep 600 && "
                           "for part in web db; do docker create --network=none --stop-timeout=1 "
                           "--label com.docker.compose.project=shop --name tarnlet-shop-$part "
                           "tarnlet-e2e:busybox /bin/busybox sleep 600; done && docker start tarnlet-shop-web")
                .arg(root.path()));
    }
    void stop()
    {
        if (daemon.state() == QProcess::NotRunning)
            return;
        shell(QStringLiteral("docker rm --force tarnlet-running tarnlet-broken tarnlet-crasher tarnlet-sick "
                             "tarnlet-shop-web tarnlet-shop-db tarnlet-looping"));
        ::kill(pid_t(daemon.processId()), SIGTERM);
        EXPECT_TRUE(daemon.waitForFinished(30000));
        for (const QString &folder : hostFoldersMade)
            QDir().rmdir(folder); // only when empty
    }
};

// A private sshd on a loopback port, with a host key and a login key of the test's own, in a
// mount namespace of its own where /run/docker.sock (the usual engine socket) is a link to
// `engineSocket`. ssh reaches it through `program`, a script that adds the test's ssh config
// (which names an empty known_hosts file). Stopped by its pid.
struct PrivateSshd {
    QTemporaryDir dir { QDir::tempPath() + QStringLiteral("/tarnlet-sshd-XXXXXX") };
    QString program = dir.filePath(QStringLiteral("ssh"));
    QString knownHosts = dir.filePath(QStringLiteral("known_hosts"));
    int port = freePort();
    QProcess daemon;

    bool start(const QString &engineSocket)
    {
        if (!QFileInfo::exists(QStringLiteral("/usr/sbin/sshd")))
            return false;
        const QString d = dir.path();
        if (!shell(
                QStringLiteral("cd %1 && ssh-keygen -q -t ed25519 -N '' -f host_key && "
                               "ssh-keygen -q -t ed25519 -N '' -f login_key && cp login_key.pub authorized_keys && "
                               ": >known_hosts && printf '%s\n' 'ListenAddress 127.0.0.1:%2' 'HostKey %1/host_key' "
                               "'AuthorizedKeysFile %1/authorized_keys' 'PermitRootLogin prohibit-password' "
                               "'StrictModes no' 'UsePAM no' 'PidFile none' >sshd_config && "
                               "printf '%s\n' 'Host *' 'IdentityFile %1/login_key' 'IdentitiesOnly yes' "
                               "'UserKnownHostsFile %1/known_hosts' >ssh_config && "
                               "printf '#!/bin/sh\nexec /usr/bin/ssh -F %1/ssh_config \"$@\"\n' >ssh && chmod +x ssh")
                    .arg(d, QString::number(port))))
            return false;
        daemon.start(QStringLiteral("/usr/bin/setpriv"),
            { QStringLiteral("--pdeathsig"), QStringLiteral("TERM"), QStringLiteral("/usr/bin/unshare"),
                QStringLiteral("--mount"), QStringLiteral("/bin/sh"), QStringLiteral("-c"),
                QStringLiteral("mount -t tmpfs tarnlet-run /run && mkdir /run/sshd && ln -s %1 /run/docker.sock && "
                               "exec /usr/sbin/sshd -D -e -f %2/sshd_config 2>%2/sshd.log")
                    .arg(engineSocket, d) });
        return daemon.waitForStarted();
    }
    // Lets ssh know the host's key, as a user who checked it would.
    bool trust()
    {
        return shell(QStringLiteral("echo \"[127.0.0.1]:%1 $(cat %2/host_key.pub)\" >%3")
                         .arg(QString::number(port), dir.path(), knownHosts));
    }
    ~PrivateSshd()
    {
        if (daemon.state() == QProcess::NotRunning)
            return;
        ::kill(pid_t(daemon.processId()), SIGTERM);
        daemon.waitForFinished(10000);
    }
};

TEST(DockerEngine, ModuleFollowsTheEnginesEventsFlashesUnexpectedEndsRunsCommandsAndReadsLogs)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "dockerd needs root";
    if (QFileInfo::exists(QStringLiteral("/var/run/docker.sock")))
        GTEST_SKIP() << "an engine at /var/run/docker.sock would be found before the test's own";

    PrivateEngine engine;
    qputenv("HOME", QFile::encodeName(engine.root.filePath(QStringLiteral("home"))));
    // Where SSH forwards keep their sockets.
    const QString runtime = engine.root.filePath(QStringLiteral("run"));
    ASSERT_TRUE(QDir().mkpath(runtime)
        && QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime));
    // First use in this process, so the list follows the temporary home.
    ASSERT_TRUE(engine.start(DockerClient::candidateSocketPaths().at(1))) << "needs docker.io and busybox-static";

    TimerScheduler clock;
    QtProcessRunner runner(clock);
    EventBus bus;
    QStringList flashes;
    int recorded = 0;
    bus.subscribe([&](const ModuleEvent &event) {
        if (!event.recordOnly)
            flashes << event.text;
        recorded += event.recordOnly ? 1 : 0;
    });
    DockerModule module(clock, bus, std::make_unique<DockerClient>(runner, ProcessRunner::Limits { 10, 1024 * 1024 }));
    // Well within the 15 s between fallback reads: what changes in time came through the stream.
    const auto soon = [](const auto &condition) { return QTest::qWaitFor(condition, 10000); };
    const auto statusBecomes = [&](const char *text) {
        return soon(
            [&] { return module.compactStatus() && module.compactStatus()->text == QString::fromLatin1(text); });
    };
    const auto detailWith = [&](const char *accessibleName) -> std::optional<std::pair<ModuleDetail, ModuleCommand>> {
        for (const ModuleDetail &detail : module.details()) {
            for (const ModuleCommand &command : detail.commands) {
                if (command.accessibleName == QString::fromLatin1(accessibleName))
                    return std::pair { detail, command };
            }
        }
        return std::nullopt;
    };
    const auto press = [&](const char *accessibleName) {
        const auto found = detailWith(accessibleName);
        ASSERT_TRUE(found) << accessibleName;
        found->second.run();
    };

    module.start();
    ASSERT_TRUE(statusBecomes("2 von 6 Containern laufen")) << module.errorText().value_or(QString()).toStdString();
    EXPECT_TRUE(module.overlayRows().at(0).detail.contains(QStringLiteral("shop: 1 von 2 laufen")));
    EXPECT_EQ(module.details().at(0).row.title, QStringLiteral("Docker Desktop")) << "the engine read";

    // Changes made elsewhere arrive through the stream; the health check and the exit with 3 flash.
    // The sick one starts only now, so that its check fails while the module watches.
    ASSERT_TRUE(shell(QStringLiteral("docker start tarnlet-crasher tarnlet-sick")));
    EXPECT_TRUE(soon([&] { return flashes.contains(QStringLiteral("tarnlet-crasher beendet (Code 3)")); }));
    EXPECT_TRUE(soon([&] { return flashes.contains(QStringLiteral("tarnlet-sick ist nicht mehr gesund")); }));
    ASSERT_TRUE(shell(QStringLiteral("docker kill tarnlet-sick")));
    EXPECT_TRUE(statusBecomes("2 von 6 Containern laufen"));

    // Stop, restart and a whole project from the pane; none of these flash.
    press("tarnlet-running stoppen");
    EXPECT_TRUE(statusBecomes("1 von 6 Containern laufen"));
    press("tarnlet-running neu starten");
    EXPECT_TRUE(statusBecomes("2 von 6 Containern laufen"));
    press("Projekt shop starten");
    EXPECT_TRUE(statusBecomes("3 von 6 Containern laufen"));
    EXPECT_TRUE(module.overlayRows().at(0).detail.contains(QStringLiteral("shop: 2 von 2 laufen")));
    press("tarnlet-broken starten");
    ASSERT_TRUE(soon([&] { return !detailWith("tarnlet-broken starten")->first.message.isEmpty(); }));
    EXPECT_TRUE(detailWith("tarnlet-broken starten")->first.message.contains(QStringLiteral("/missing")));
    EXPECT_EQ(flashes.size(), 2) << flashes.join(u'|').toStdString();

    // Logs: framed without a terminal, raw with one; each line with its time stamp.
    const auto logOf = [&](const char *name) {
        const QString title = QStringLiteral("Protokoll von ") + QString::fromLatin1(name);
        press(title.toLatin1().constData());
        const auto loaded = [&] {
            const auto found = detailWith((title + QStringLiteral(" schließen")).toLatin1().constData());
            return found && found->first.document && !found->first.document->loading;
        };
        EXPECT_TRUE(soon(loaded));
        return detailWith((title + QStringLiteral(" schließen")).toLatin1().constData())->first.document->text;
    };
    EXPECT_TRUE(logOf("tarnlet-running").contains(QStringLiteral("Z started\n")));
    EXPECT_TRUE(logOf("tarnlet-crasher").contains(QStringLiteral("Z on a terminal\r\n")));

    // The same engine as the docker CLI finds it: through DOCKER_HOST, and through a context the
    // CLI made (TLS over TCP, its files kept by the CLI) that is current or named.
    const QString cli = engine.root.filePath(QStringLiteral("cli"));
    ASSERT_TRUE(shell(QStringLiteral("export DOCKER_CONFIG=%1 && docker context create tls-box --docker "
                                     "host=tcp://127.0.0.1:%2,ca=%3/ca.pem,cert=%3/client.pem,key=%3/client-key.pem "
                                     ">/dev/null && docker context use tls-box >/dev/null")
                          .arg(cli, QString::number(engine.tlsPort), engine.root.filePath(QStringLiteral("tls")))));
    const auto listed = [&](const DockerCliConfig::Environment &environment, const QString &context) {
        DockerClient client(runner, {}, DockerLocator::cli(DockerCliConfig(environment), context, {}));
        std::optional<ContainerSource::Result> result;
        client.listContainers([&](const ContainerSource::Result &r) { result = r; });
        EXPECT_TRUE(soon([&] { return result.has_value(); }));
        const auto *list = result ? std::get_if<DockerContainerList>(&*result) : nullptr;
        return list ? QString::number(list->size()) + u' ' + client.engine()->address
                    : QStringLiteral("error ") + std::get<DockerError>(*result).detail;
    };
    const QString tlsAddress = QStringLiteral("6 tcp://127.0.0.1:%1 (TLS)").arg(engine.tlsPort);
    EXPECT_EQ(listed({ cli }, QString()), tlsAddress);
    EXPECT_EQ(listed({ cli.chopped(3) }, QStringLiteral("tls-box")),
        QStringLiteral("error Kontext „tls-box“: unbekannt (nicht in „docker context ls“)."));
    EXPECT_EQ(listed({ cli, QString::fromLocal8Bit(qgetenv("DOCKER_HOST")) }, QString()),
        QStringLiteral("6 unix://") + DockerClient::candidateSocketPaths().at(1));

    // Several engines at once: the local one, the context over TLS and one over SSH, whose host's
    // key ssh does not know at first.
    PrivateSshd sshd;
    ASSERT_TRUE(sshd.start(DockerClient::candidateSocketPaths().at(1))) << "needs openssh-server";
    // And one whose host refuses the connection: nobody listens on its port.
    ASSERT_TRUE(shell(QStringLiteral("DOCKER_CONFIG=%1 docker context create ssh-box --docker "
                                     "host=ssh://root@127.0.0.1:%2 >/dev/null && DOCKER_CONFIG=%1 docker context "
                                     "create closed-box --docker host=ssh://root@127.0.0.1:%3 >/dev/null")
                          .arg(cli, QString::number(sshd.port), QString::number(freePort()))));
    TempPreferences preferences;
    preferences.store->setValue(QString::fromLatin1(DockerModule::enginesKey),
        QStringList { QStringLiteral("tls-box"), QStringLiteral("ssh-box"), QStringLiteral("closed-box") });
    DockerContexts contexts { DockerCliConfig({ cli }) };
    DockerModule engines(clock, bus, *preferences.store, contexts, [&](const QString &context) {
        return DockerSetup::client(clock, runner, DockerCliConfig({ cli }), context, sshd.program);
    });
    contexts.setShown(true);
    EXPECT_EQ(contexts.names(),
        (QStringList { QStringLiteral("closed-box"), QStringLiteral("ssh-box"), QStringLiteral("tls-box") }));
    engines.start();
    const auto rowOf = [&](const char *name) {
        for (const ModuleRow &row : engines.overlayRows()) {
            if (row.title.startsWith(QString::fromLatin1(name) + QStringLiteral(": ")))
                return row.title;
        }
        return QString();
    };
    EXPECT_TRUE(soon([&] { return rowOf("tls-box").endsWith(QStringLiteral(" von 6 laufen")); }))
        << rowOf("tls-box").toStdString();
    EXPECT_TRUE(soon([&] { return rowOf("ssh-box").contains(QStringLiteral("Schlüssel des Rechners unbekannt")); }))
        << rowOf("ssh-box").toStdString();
    EXPECT_TRUE(soon([&] { return rowOf("closed-box").contains(QStringLiteral("Connection refused")); }))
        << rowOf("closed-box").toStdString();
    EXPECT_TRUE(rowOf("Lokal").endsWith(QStringLiteral(" von 6 laufen")));
    ASSERT_TRUE(sshd.trust());
    EXPECT_TRUE(QTest::qWaitFor([&] { return rowOf("ssh-box").endsWith(QStringLiteral(" von 6 laufen")); },
        int(DockerSshForward::backOff(1) + 10) * 1000))
        << rowOf("ssh-box").toStdString();
    engines.stop();

    // A container that the engine restarts each time it fails at once is told once; its line says
    // it loops, and the history has every end.
    flashes.clear();
    ASSERT_TRUE(shell(QStringLiteral("docker run --detach --restart always --network=none --name tarnlet-looping "
                                     "tarnlet-e2e:busybox /bin/busybox false")));
    EXPECT_TRUE(soon([&] {
        const auto found = detailWith("tarnlet-looping neu starten");
        return found && found->first.row.detail.contains(QStringLiteral("startet immer wieder neu (3×"));
    }));
    EXPECT_EQ(flashes, QStringList { QStringLiteral("tarnlet-looping beendet (Code 1)") });
    EXPECT_GE(recorded, 2);

    // A stopped engine ends the stream: the list is read at once and finds it gone (or going).
    engine.stop();
    EXPECT_TRUE(soon([&] { return module.errorText().has_value(); }));
}

} // namespace

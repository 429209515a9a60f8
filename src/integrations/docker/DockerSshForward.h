#pragma once

#include "core/CancelHandle.h"
#include "core/Scheduler.h"
#include "integrations/docker/DockerEndpoint.h"
#include "integrations/docker/DockerError.h"
#include "services/ProcessRunner.h"

#include <QObject>

#include <variant>

// Keeps the socket of an engine reached over SSH forwarded to a local socket, through the user's
// own ssh (their keys, agent and ~/.ssh/config), for as long as it is wanted. ssh runs in batch
// mode and checks the host's key strictly: a host whose key is not yet known is an error to show,
// never accepted on the user's behalf. A forward that drops is started again after a pause that
// doubles from 5 s to 5 minutes (back to 5 s once it held for a minute).
class DockerSshForward final : public QObject {
    Q_OBJECT
public:
    static constexpr auto sshProgram = "/usr/bin/ssh";
    static constexpr auto remoteSocket = "/var/run/docker.sock";
    static constexpr double checkSeconds = 0.2;
    static constexpr double steadySeconds = 60;

    // `name` tells the engine's local socket from others' (socketPathFor(), made at the first
    // ssh:// address); `program` is ssh.
    DockerSshForward(Scheduler &scheduler, ProcessRunner &runner, QString name,
        QString program = QString::fromLatin1(sshProgram), QObject *parent = nullptr);
    ~DockerSshForward() override;

    // The local socket through which `endpoint`'s engine answers now; or why not (yet), with the
    // forward started (or kept trying) meanwhile.
    std::variant<QString, DockerError> route(const DockerEndpoint &endpoint);
    // Ends ssh and every retry.
    void stop();

    // The pause before starting again after `failures` drops in a row.
    static double backOff(int failures);
    // The socket's path for the engine called `name`, below Tarnlet's folder in the user's
    // run-time folder (made with mode 0700); empty when there is none.
    static QString socketPathFor(const QString &name);
    // ssh's arguments for `endpoint`, its socket forwarded to `socketPath`.
    static QStringList arguments(const DockerEndpoint &endpoint, const QString &socketPath);

Q_SIGNALS:
    // The local socket began to accept connections, or ssh ended.
    void changed();

private:
    void launch();
    void ended();
    void check();

    Scheduler &m_scheduler;
    ProcessRunner &m_runner;
    QString m_name;
    QString m_socketPath;
    QString m_program;
    std::optional<DockerEndpoint> m_endpoint;
    CancelHandle m_process;
    CancelHandle m_check;
    CancelHandle m_retry;
    bool m_up = false;
    int m_failures = 0;
    double m_started = 0;
    QString m_lastLine; // what ssh said last, cleaned
};

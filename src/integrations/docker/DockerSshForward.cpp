#include "integrations/docker/DockerSshForward.h"

#include "core/PlainText.h"
#include "integrations/docker/DockerClient.h"
#include "integrations/docker/DockerLogging.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QStandardPaths>

#include <algorithm>
#include <cmath>

namespace {

// What ssh's log says; these lines name no secret (ssh never prints a key or a password).
constexpr qint64 maxLineBytes = 4096;

} // namespace

DockerSshForward::DockerSshForward(
    Scheduler &scheduler, ProcessRunner &runner, QString name, QString program, QObject *parent)
    : QObject(parent)
    , m_scheduler(scheduler)
    , m_runner(runner)
    , m_name(std::move(name))
    , m_program(std::move(program))
{ }

DockerSshForward::~DockerSshForward()
{
    stop();
}

double DockerSshForward::backOff(int failures)
{
    return std::min(5.0 * std::pow(2.0, std::max(failures, 1) - 1), 300.0);
}

QString DockerSshForward::socketPathFor(const QString &name)
{
    const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (runtime.isEmpty())
        return {};
    const QString folder = runtime + QStringLiteral("/tarnlet");
    if (!QDir().mkpath(folder)
        || !QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner))
        return {};
    // Short and fixed in length, whatever the name: a socket's path has little room.
    const QByteArray digest = QCryptographicHash::hash(name.toUtf8(), QCryptographicHash::Sha256).toHex().left(16);
    return folder + QStringLiteral("/docker-") + QString::fromLatin1(digest) + QStringLiteral(".sock");
}

QStringList DockerSshForward::arguments(const DockerEndpoint &endpoint, const QString &socketPath)
{
    QStringList arguments { QStringLiteral("-n"), QStringLiteral("-N"), QStringLiteral("-T"), QStringLiteral("-o"),
        QStringLiteral("BatchMode=yes"), QStringLiteral("-o"), QStringLiteral("StrictHostKeyChecking=yes"),
        QStringLiteral("-o"), QStringLiteral("ExitOnForwardFailure=yes"), QStringLiteral("-o"),
        QStringLiteral("StreamLocalBindUnlink=yes"), QStringLiteral("-o"), QStringLiteral("ServerAliveInterval=30"),
        QStringLiteral("-o"), QStringLiteral("ConnectTimeout=20"),
        // ssh's messages come on standard output, read line by line.
        QStringLiteral("-E"), QStringLiteral("/dev/stdout"), QStringLiteral("-L"),
        socketPath + u':' + QString::fromLatin1(remoteSocket) };
    if (endpoint.port > 0)
        arguments << QStringLiteral("-p") << QString::number(endpoint.port);
    // "--" keeps a login that starts with "-" from being read as an option.
    return arguments << QStringLiteral("--") << endpoint.address;
}

std::variant<QString, DockerError> DockerSshForward::route(const DockerEndpoint &endpoint)
{
    if (m_socketPath.isEmpty())
        m_socketPath = socketPathFor(m_name);
    if (m_socketPath.isEmpty())
        return DockerError::unusable(
            QCoreApplication::translate("DockerSshForward", "Kein Laufzeitordner für die SSH-Weiterleitung."));
    if (m_endpoint != endpoint) {
        stop();
        m_endpoint = endpoint;
        m_failures = 0;
        launch();
    } else if (!m_process.isPending() && !m_retry.isPending()) {
        launch();
    }
    if (m_up)
        return m_socketPath;
    const QString login = endpoint.display();
    if (m_lastLine.contains(u"Host key verification failed") || m_lastLine.contains(u"host key is known")) {
        return DockerError::unusable(QCoreApplication::translate("DockerSshForward",
            "SSH zu %1: Schlüssel des Rechners unbekannt. Einmal im Terminal mit ssh verbinden und prüfen.")
                                         .arg(login));
    }
    if (!m_lastLine.isEmpty())
        return DockerError::unusable(
            QCoreApplication::translate("DockerSshForward", "SSH zu %1: %2").arg(login, m_lastLine));
    return DockerError::unusable(
        QCoreApplication::translate("DockerSshForward", "SSH zu %1: Verbindung wird aufgebaut …").arg(login));
}

void DockerSshForward::stop()
{
    const bool ran = m_process.isPending() || m_retry.isPending();
    m_process.cancel();
    m_check.cancel();
    m_retry.cancel();
    m_up = false;
    // ssh ended by a signal leaves its socket behind.
    if (ran)
        QFile::remove(m_socketPath);
}

void DockerSshForward::launch()
{
    m_retry.cancel();
    m_up = false;
    m_lastLine.clear();
    m_started = m_scheduler.now();
    const QStringList command = arguments(*m_endpoint, m_socketPath);
    qCDebug(lcDocker).noquote() << "ssh" << command.join(u' ');
    m_process = m_runner.stream(
        m_program, command, maxLineBytes,
        [this](const QByteArray &line) {
            const QString text = PlainText::clean(QString::fromUtf8(line)).trimmed();
            if (!text.isEmpty())
                m_lastLine = text;
            qCDebug(lcDocker).noquote() << "ssh:" << text;
        },
        [this](const ProcessRunner::Result &) { ended(); });
    check();
}

void DockerSshForward::check()
{
    if (!m_process.isPending())
        return;
    if (DockerClient::discover({ m_socketPath })) {
        m_up = true;
        Q_EMIT changed();
        return;
    }
    m_check = m_scheduler.schedule(checkSeconds, [this] { check(); });
}

void DockerSshForward::ended()
{
    m_process = CancelHandle();
    m_check.cancel();
    m_up = false;
    if (m_scheduler.now() - m_started >= steadySeconds)
        m_failures = 0;
    const double pause = backOff(++m_failures);
    if (m_lastLine.isEmpty())
        m_lastLine = QCoreApplication::translate("DockerSshForward", "Verbindung getrennt.");
    qCDebug(lcDocker) << "ssh forward ended; again in" << pause << "s";
    m_retry = m_scheduler.schedule(pause, [this] { launch(); });
    Q_EMIT changed();
}

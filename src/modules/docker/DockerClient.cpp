#include "modules/docker/DockerClient.h"

#include "services/JsonReader.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace {

ContainerSource::Result decodeContainers(const ProcessRunner::Result &run)
{
    using Outcome = ProcessRunner::Result::Outcome;
    switch (run.outcome) {
    case Outcome::FailedToStart:
        return DockerError::launchFailed(run.errorText);
    case Outcome::TimedOut:
        return DockerError::timedOut();
    case Outcome::OutputTooLarge:
        return DockerError::outputTooLarge();
    case Outcome::Crashed:
        return DockerError::requestFailed(run.exitStatus);
    case Outcome::Exited:
        break;
    }
    if (run.exitStatus != 0)
        return DockerError::requestFailed(run.exitStatus);
    try {
        return JsonReader::decodeArray(run.output, &DockerContainer::fromJson);
    } catch (const JsonDecodeError &error) {
        return DockerError::decodingFailed(QString::fromUtf8(error.what()));
    }
}

} // namespace

DockerClient::DockerClient(ProcessRunner &runner, ProcessRunner::Limits limits, QStringList candidates)
    : m_runner(runner)
    , m_limits(limits)
    , m_candidates(std::move(candidates))
{ }

const QStringList &DockerClient::candidateSocketPaths()
{
    static const QStringList paths = candidateSocketPaths(QDir::homePath());
    return paths;
}

QStringList DockerClient::candidateSocketPaths(const QString &home)
{
    return { QStringLiteral("/var/run/docker.sock"), home + QStringLiteral("/.docker/run/docker.sock"),
        home + QStringLiteral("/.orbstack/run/docker.sock"), home + QStringLiteral("/.colima/default/docker.sock") };
}

std::optional<QString> DockerClient::discover(const QStringList &candidates)
{
    for (const QString &path : candidates) {
        if (QFileInfo::exists(path))
            return path;
    }
    return std::nullopt;
}

QStringList DockerClient::curlArguments(const QString &socketPath, const QString &path)
{
    return { QStringLiteral("--silent"), QStringLiteral("--fail"), QStringLiteral("--unix-socket"), socketPath,
        QStringLiteral("http://localhost") + path };
}

void DockerClient::listContainers(Done done)
{
    const std::optional<QString> socketPath = discover(m_candidates);
    if (!socketPath) {
        // Answered later like every other outcome, so callers meet one order of events.
        QMetaObject::invokeMethod(
            QCoreApplication::instance(), [done = std::move(done)] { done(DockerError::socketNotFound()); },
            Qt::QueuedConnection);
        return;
    }
    m_runner.run(QString::fromLatin1(curlProgram), curlArguments(*socketPath, QString::fromLatin1(containersPath)),
        m_limits, [done = std::move(done)](const ProcessRunner::Result &run) { done(decodeContainers(run)); });
}

#pragma once

#include "modules/docker/ContainerSource.h"
#include "services/ProcessRunner.h"

#include <QStringList>

#include <optional>

// Reads the local Docker engine's container list by running curl against the engine's unix
// socket. It keeps no state between requests: the socket is looked for afresh every time, so an
// engine that starts later, or moves its socket, is found at the next request. Curl runs through
// the given process runner, bounded in time and output size.
class DockerClient final : public ContainerSource {
public:
    using DockerError = ::DockerError;

    static constexpr auto curlProgram = "/usr/bin/curl";
    static constexpr auto containersPath = "/containers/json?all=true";

    // `candidates` is where the socket is looked for, in order; tests point it elsewhere.
    explicit DockerClient(
        ProcessRunner &runner, ProcessRunner::Limits limits = {}, QStringList candidates = candidateSocketPaths());

    // The usual socket places: "/var/run/docker.sock", then Docker Desktop's, OrbStack's and
    // Colima's below the home directory. Built once per process, from the home directory at first
    // use.
    static const QStringList &candidateSocketPaths();
    static QStringList candidateSocketPaths(const QString &home);
    // The first candidate that exists on disk (of any kind; nobody need listen on it).
    static std::optional<QString> discover(const QStringList &candidates);
    // A plain GET of `path` (appended verbatim) over the socket; "--fail" turns an HTTP error
    // status into a non-zero exit.
    static QStringList curlArguments(const QString &socketPath, const QString &path);
    // A POST of `path` over the socket; an error status still hands over the engine's answer.
    static QStringList curlPostArguments(const QString &socketPath, const QString &path);
    // The engine's "message" in an answer to a refused command, or empty when it names none.
    static QString refusalMessage(const QByteArray &answer);

    void listContainers(Done done) override;
    // POST /containers/{id}/start or /stop; the engine's "message" is the refusal's detail.
    void setRunning(const QString &containerId, bool running, CommandDone done) override;

private:
    // Runs curl with the arguments made for the socket found, or answers socketNotFound later.
    void runOnSocket(const std::function<QStringList(const QString &socketPath)> &arguments,
        std::function<void(const std::optional<ProcessRunner::Result> &)> done);

    ProcessRunner &m_runner;
    ProcessRunner::Limits m_limits;
    QStringList m_candidates;
};

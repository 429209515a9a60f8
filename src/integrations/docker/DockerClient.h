#pragma once

#include "integrations/docker/DockerEndpoint.h"
#include "integrations/docker/DockerSshForward.h"
#include "modules/docker/ContainerSource.h"
#include "services/ProcessRunner.h"

#include <QStringList>

#include <memory>
#include <optional>

// Talks to a Docker (or Podman) engine by running curl against the engine's unix socket or TCP
// address. Where the engine is, is asked afresh at every request, so an engine that starts later,
// moves its socket or is switched to in the docker CLI is found at the next one; only the engine
// last reached is remembered, for display. Curl runs through the given process runner, bounded in
// time and output size; the event stream is one long-lived curl, bounded per line.
class DockerClient final : public ContainerSource {
public:
    using DockerError = ::DockerError;

    static constexpr auto curlProgram = "/usr/bin/curl";
    static constexpr auto containersPath = "/containers/json?all=true";
    static constexpr auto versionPath = "/version";
    // Health checks, and the events that tell them, came with this version of the engine's API.
    static constexpr int oldestApi[] = { 1, 24 };

    // The engine to ask now, by its name for the pane, or why there is none.
    struct Target {
        QString name;
        DockerEndpoint endpoint;
        QString shownAs = {}; // where the pane says it listens; empty for the endpoint's own address
    };
    using Locate = std::function<std::variant<Target, DockerError>()>;

    DockerClient(ProcessRunner &runner, ProcessRunner::Limits limits, Locate locate);
    // The first of `candidates` that answers, as the engine; tests point it elsewhere.
    explicit DockerClient(
        ProcessRunner &runner, ProcessRunner::Limits limits = {}, QStringList candidates = candidateSocketPaths());
    // Looks for a socket among `candidates`, in order.
    static Locate searchSockets(QStringList candidates);

    // The usual socket places: "/var/run/docker.sock", then Docker Desktop's, OrbStack's and
    // Colima's below the home directory, then the user's Podman socket in the run-time folder
    // (where one is set). Built once per process, from the environment at first use.
    static const QStringList &candidateSocketPaths();
    static QStringList candidateSocketPaths(const QString &home, const QString &runtimeDir);
    // The engine that listens at one of those places, by name.
    static QString engineName(const QString &socketPath);
    // The first candidate socket that lets us connect: one we may not open (a root-owned
    // /var/run/docker.sock) or that nobody listens on any more is passed over.
    static std::optional<QString> discover(const QStringList &candidates);
    // A plain GET of `path` (appended verbatim); "--fail" turns an HTTP error status into a
    // non-zero exit.
    static QStringList curlArguments(const DockerEndpoint &endpoint, const QString &path);
    // A POST of `path`; an error status still hands over the engine's answer.
    static QStringList curlPostArguments(const DockerEndpoint &endpoint, const QString &path);
    // Why an engine whose /version answer is `answer` is too old, in the user's language; empty
    // when it is not (or the answer names no version).
    static QString tooOld(const QByteArray &answer);
    // The engine's "message" in an answer to a refused command, or empty when it names none.
    static QString refusalMessage(const QByteArray &answer);

    void listContainers(Done done) override;
    // GET /events, filtered to what a container does, read as it comes.
    CancelHandle watchEvents(EventSeen seen, std::function<void()> ended) override;
    // POST /containers/{id}/start, /stop or /restart; the engine's "message" is the refusal's detail.
    // An id that is neither the engine's hex nor a name by its rule fails without a request.
    void send(const QString &containerId, Command command, CommandDone done) override;
    // Whether the container has a terminal (GET /containers/{id}/json), then its last 200 lines,
    // of which the end within the output bound is kept; an id refused as by send().
    void readLogs(const QString &containerId, std::function<void(const LogResult &)> done) override;
    std::optional<Engine> engine() const override { return m_engine; }
    // The SSH forward the engine may be reached through (the one its Locate uses): ended by
    // release(), its changes passed on to whenRouteChanged().
    void useForward(std::shared_ptr<DockerSshForward> forward) { m_forward = std::move(forward); }
    void release() override;
    void whenRouteChanged(std::function<void()> again) override;

private:
    // Asks for the list, with no question of the version first.
    void readList(Done done);
    // The engine to use now, remembered as the one last reached.
    std::variant<DockerEndpoint, DockerError> locate();
    // "/containers/<id, percent-encoded><rest>".
    static QString containerPath(const QString &containerId, const char *rest);
    // Runs curl with the arguments made for the engine found, or answers why there is none later.
    // With `keepTail`, an answer past the output bound keeps its end.
    using Run = std::variant<ProcessRunner::Result, DockerError>;
    void runOnEngine(const std::function<QStringList(const DockerEndpoint &)> &arguments,
        std::function<void(const Run &)> done, bool keepTail = false);

    ProcessRunner &m_runner;
    ProcessRunner::Limits m_limits;
    Locate m_locate;
    std::optional<Engine> m_engine;
    std::shared_ptr<DockerSshForward> m_forward;
    // The engine whose API version was found new enough, by its address.
    QString m_versionChecked;
    // Held weakly by a request that goes on with a second run, which is dropped once the client
    // is gone.
    std::shared_ptr<int> m_lifetime = std::make_shared<int>();
};

#include "integrations/docker/DockerClient.h"

#include "integrations/docker/DockerLogging.h"
#include "integrations/docker/DockerLogs.h"
#include "services/JsonReader.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QUrl>

#include <algorithm>
#include <cerrno>

#include <fcntl.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

// Why a curl run did not end well, or none when it exited with 0.
std::optional<DockerError> runFailure(const ProcessRunner::Result &run)
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
    return std::nullopt;
}

// How a curl run ended, for the log.
const char *outcomeName(ProcessRunner::Result::Outcome outcome)
{
    using Outcome = ProcessRunner::Result::Outcome;
    switch (outcome) {
    case Outcome::Exited:
        return "exited";
    case Outcome::Crashed:
        return "crashed";
    case Outcome::FailedToStart:
        return "failed to start";
    case Outcome::TimedOut:
        return "timed out";
    case Outcome::OutputTooLarge:
        return "output too large";
    }
    return "";
}

ContainerSource::Result decodeContainers(const ProcessRunner::Result &run)
{
    if (const std::optional<DockerError> failure = runFailure(run))
        return *failure;
    try {
        return DockerContainer::decodeList(run.output);
    } catch (const JsonDecodeError &error) {
        return DockerError::decodingFailed(QString::fromUtf8(error.what()));
    }
}

} // namespace

DockerClient::DockerClient(ProcessRunner &runner, ProcessRunner::Limits limits, Locate locate)
    : m_runner(runner)
    , m_limits(limits)
    , m_locate(std::move(locate))
{ }

DockerClient::DockerClient(ProcessRunner &runner, ProcessRunner::Limits limits, QStringList candidates)
    : DockerClient(runner, limits, searchSockets(std::move(candidates)))
{ }

const QStringList &DockerClient::candidateSocketPaths()
{
    static const QStringList paths
        = candidateSocketPaths(QDir::homePath(), QString::fromLocal8Bit(qgetenv("XDG_RUNTIME_DIR")));
    return paths;
}

QStringList DockerClient::candidateSocketPaths(const QString &home, const QString &runtimeDir)
{
    QStringList paths { QStringLiteral("/var/run/docker.sock"), home + QStringLiteral("/.docker/run/docker.sock"),
        home + QStringLiteral("/.orbstack/run/docker.sock"), home + QStringLiteral("/.colima/default/docker.sock") };
    if (!runtimeDir.isEmpty())
        paths.append(runtimeDir + QStringLiteral("/podman/podman.sock"));
    return paths;
}

QString DockerClient::engineName(const QString &socketPath)
{
    if (socketPath.endsWith(u"/podman.sock"))
        return QStringLiteral("Podman");
    if (socketPath.contains(u"/.orbstack/"))
        return QStringLiteral("OrbStack");
    if (socketPath.contains(u"/.colima/"))
        return QStringLiteral("Colima");
    if (socketPath.contains(u"/.docker/"))
        return QStringLiteral("Docker Desktop");
    return QStringLiteral("Docker");
}

namespace {

// Whether a process listens on the unix socket at `path` and lets us in: the connection is made
// and dropped at once (never waiting, so a listener with a full queue counts as answering).
bool acceptsConnections(const QString &path)
{
    const QByteArray name = QFile::encodeName(path);
    sockaddr_un address {};
    if (name.size() >= qsizetype(sizeof address.sun_path))
        return false;
    address.sun_family = AF_UNIX;
    std::copy(name.cbegin(), name.cend(), address.sun_path);
    const int socket = ::socket(AF_UNIX, SOCK_STREAM, 0);
    if (socket < 0 || ::fcntl(socket, F_SETFL, O_NONBLOCK) != 0) {
        if (socket >= 0)
            ::close(socket);
        return false;
    }
    const bool connected = ::connect(socket, reinterpret_cast<const sockaddr *>(&address), sizeof address) == 0
        || errno == EAGAIN || errno == EINPROGRESS;
    ::close(socket);
    return connected;
}

} // namespace

std::optional<QString> DockerClient::discover(const QStringList &candidates)
{
    const auto found = std::find_if(candidates.cbegin(), candidates.cend(), acceptsConnections);
    return found == candidates.cend() ? std::nullopt : std::optional(*found);
}

DockerClient::Locate DockerClient::searchSockets(QStringList candidates)
{
    return [candidates = std::move(candidates)]() -> std::variant<Target, DockerError> {
        const std::optional<QString> socketPath = discover(candidates);
        if (!socketPath) {
            qCDebug(lcDocker) << "no engine socket at" << candidates;
            return DockerError::socketNotFound();
        }
        return Target { engineName(*socketPath), DockerEndpoint::unixSocket(*socketPath) };
    };
}

namespace {

// First of all arguments, or curl reads the user's ~/.curlrc, whose "output", "write-out" or
// "include" would break every answer.
const QString noConfigFile = QStringLiteral("-q");

} // namespace

QStringList DockerClient::curlArguments(const DockerEndpoint &endpoint, const QString &path)
{
    return QStringList { noConfigFile, QStringLiteral("--silent"), QStringLiteral("--fail") } + endpoint.curlArguments()
        + QStringList { endpoint.urlBase() + path };
}

QStringList DockerClient::curlPostArguments(const DockerEndpoint &endpoint, const QString &path)
{
    return QStringList { noConfigFile, QStringLiteral("--silent"), QStringLiteral("--fail-with-body"),
        QStringLiteral("--request"), QStringLiteral("POST") }
    + endpoint.curlArguments() + QStringList { endpoint.urlBase() + path };
}

namespace {

// curl's exit status for an HTTP error status under "--fail-with-body".
constexpr int curlHttpError = 22;

ContainerSource::CommandResult commandOutcome(const ProcessRunner::Result &run)
{
    if (run.outcome == ProcessRunner::Result::Outcome::Exited && run.exitStatus == curlHttpError)
        return DockerError::refused(DockerClient::refusalMessage(run.output));
    return runFailure(run);
}

} // namespace

QString DockerClient::refusalMessage(const QByteArray &answer)
{
    try {
        return JsonReader::decodeObject(answer, [](const JsonReader &json) { return json.string("message"); });
    } catch (const JsonDecodeError &) {
        // An answer without a message still is a refusal.
        return {};
    }
}

std::variant<DockerEndpoint, DockerError> DockerClient::locate()
{
    const std::variant<Target, DockerError> found = m_locate();
    if (const auto *error = std::get_if<DockerError>(&found)) {
        m_engine.reset();
        return *error;
    }
    const Target &target = std::get<Target>(found);
    m_engine = Engine { target.name, target.shownAs.isEmpty() ? target.endpoint.display() : target.shownAs };
    return target.endpoint;
}

namespace {

// Runs `answer` later like every other outcome, so callers meet one order of events.
void answerLater(std::function<void()> answer)
{
    QMetaObject::invokeMethod(QCoreApplication::instance(), std::move(answer), Qt::QueuedConnection);
}

// What the engine issues: a hex id, or a name by the engine's rule ([a-zA-Z0-9][a-zA-Z0-9_.-]+),
// which keeps ".", ".." and "/" out of the path.
bool isContainerReference(const QString &text)
{
    const auto alphanumeric = [](QChar c) { return c.unicode() < 0x80 && c.isLetterOrNumber(); };
    return text.size() >= 2 && alphanumeric(text.front()) && std::all_of(text.cbegin() + 1, text.cend(), [&](QChar c) {
        return alphanumeric(c) || c == u'_' || c == u'.' || c == u'-';
    });
}

const QString notAContainer = QStringLiteral("not a container's id or name");

} // namespace

void DockerClient::runOnEngine(const std::function<QStringList(const DockerEndpoint &)> &arguments,
    std::function<void(const Run &)> done, bool keepTail)
{
    const std::variant<DockerEndpoint, DockerError> endpoint = locate();
    if (const auto *error = std::get_if<DockerError>(&endpoint)) {
        answerLater([done = std::move(done), error = *error] { done(error); });
        return;
    }
    // The arguments hold the engine's address and the paths of its TLS files, nothing secret.
    const QStringList command = arguments(std::get<DockerEndpoint>(endpoint));
    qCDebug(lcDocker).noquote() << "curl" << command.join(u' ');
    ProcessRunner::Limits limits = m_limits;
    limits.keepTail = keepTail;
    m_runner.run(
        QString::fromLatin1(curlProgram), command, limits, [done = std::move(done)](const ProcessRunner::Result &run) {
            qCDebug(lcDocker) << "curl" << outcomeName(run.outcome) << "with status" << run.exitStatus << "after"
                              << run.output.size() << "bytes";
            done(run);
        });
}

QString DockerClient::tooOld(const QByteArray &answer)
{
    QString version;
    try {
        version = JsonReader::decodeObject(answer, [](const JsonReader &json) { return json.string("ApiVersion"); });
    } catch (const JsonDecodeError &) {
        return {};
    }
    const QStringList parts = version.split(u'.');
    bool majorRead = false;
    bool minorRead = false;
    const int major = parts.value(0).toInt(&majorRead);
    const int minor = parts.value(1).toInt(&minorRead);
    if (!majorRead || !minorRead || std::pair(major, minor) >= std::pair(oldestApi[0], oldestApi[1]))
        return {};
    return QCoreApplication::translate("DockerClient", "Engine zu alt: API %1, nötig ist mindestens %2.%3.")
        .arg(version, QString::number(oldestApi[0]), QString::number(oldestApi[1]));
}

void DockerClient::listContainers(Done done)
{
    // An engine not met before is asked for its API version first: too old, it is not used.
    if (const auto endpoint = locate();
        !std::holds_alternative<DockerError>(endpoint) && m_engine && m_engine->address != m_versionChecked) {
        const QString address = m_engine->address;
        runOnEngine([](const DockerEndpoint &at) { return curlArguments(at, QString::fromLatin1(versionPath)); },
            [this, alive = std::weak_ptr<int>(m_lifetime), address, done = std::move(done)](const Run &run) mutable {
                if (alive.expired())
                    return;
                const auto *answer = std::get_if<ProcessRunner::Result>(&run);
                if (answer && !runFailure(*answer)) {
                    if (const QString why = tooOld(answer->output); !why.isEmpty())
                        return done(DockerError::unusable(why));
                    m_versionChecked = address;
                }
                readList(std::move(done));
            });
        return;
    }
    readList(std::move(done));
}

void DockerClient::readList(Done done)
{
    runOnEngine([](const DockerEndpoint &at) { return curlArguments(at, QString::fromLatin1(containersPath)); },
        [done = std::move(done)](const Run &run) {
            const auto *result = std::get_if<ProcessRunner::Result>(&run);
            done(result ? decodeContainers(*result) : Result(std::get<DockerError>(run)));
        });
}

QString DockerClient::containerPath(const QString &containerId, const char *rest)
{
    return QStringLiteral("/containers/") + QString::fromLatin1(QUrl::toPercentEncoding(containerId))
        + QString::fromLatin1(rest);
}

void DockerClient::send(const QString &containerId, Command command, CommandDone done)
{
    if (!isContainerReference(containerId))
        return answerLater([done = std::move(done)] { done(DockerError::decodingFailed(notAContainer)); });
    const char *const verbs[] = { "/start", "/stop", "/restart" };
    const QString path = containerPath(containerId, verbs[int(command)]);
    runOnEngine([path](const DockerEndpoint &at) { return curlPostArguments(at, path); },
        [done = std::move(done)](const Run &run) {
            const auto *result = std::get_if<ProcessRunner::Result>(&run);
            done(result ? commandOutcome(*result) : CommandResult(std::get<DockerError>(run)));
        });
}

CancelHandle DockerClient::watchEvents(EventSeen seen, std::function<void()> ended)
{
    const std::variant<DockerEndpoint, DockerError> endpoint = locate();
    if (std::holds_alternative<DockerError>(endpoint)) {
        // Ended later, unless cancelled first.
        CancelHandle handle = CancelHandle::create();
        answerLater([handle, ended = std::move(ended)]() mutable {
            if (handle.finish())
                ended();
        });
        return handle;
    }
    const DockerEndpoint &at = std::get<DockerEndpoint>(endpoint);
    QStringList command = curlArguments(at, QString::fromLatin1(DockerEvents::streamPath()));
    command.insert(1, QStringLiteral("--no-buffer"));
    qCDebug(lcDocker) << "event stream from" << at.display();
    return m_runner.stream(
        QString::fromLatin1(curlProgram), command, DockerEvents::maxLineBytes,
        [seen = std::move(seen)](const QByteArray &line) {
            if (const std::optional<DockerEvent> event = DockerEvents::decodeLine(line))
                seen(*event);
            else
                qCDebug(lcDocker) << "event line skipped," << line.size() << "bytes";
        },
        [ended = std::move(ended)](const ProcessRunner::Result &run) {
            qCDebug(lcDocker) << "event stream" << outcomeName(run.outcome) << "with status" << run.exitStatus;
            ended();
        });
}

void DockerClient::readLogs(const QString &containerId, std::function<void(const LogResult &)> done)
{
    if (!isContainerReference(containerId))
        return answerLater([done = std::move(done)] { done(DockerError::decodingFailed(notAContainer)); });
    const QString inspectPath = containerPath(containerId, "/json");
    const QString logsPath = containerPath(containerId, "/logs?stdout=1&stderr=1&tail=200&timestamps=1");
    runOnEngine([inspectPath](const DockerEndpoint &at) { return curlArguments(at, inspectPath); },
        [this, alive = std::weak_ptr<int>(m_lifetime), logsPath, done = std::move(done)](const Run &run) mutable {
            if (alive.expired())
                return;
            if (const auto *error = std::get_if<DockerError>(&run))
                return done(*error);
            const ProcessRunner::Result *inspected = &std::get<ProcessRunner::Result>(run);
            if (const std::optional<DockerError> failure = runFailure(*inspected))
                return done(*failure);
            bool tty = false;
            try {
                tty = JsonReader::decodeObject(
                    inspected->output, [](const JsonReader &json) { return json.object("Config").boolean("Tty"); });
            } catch (const JsonDecodeError &error) {
                return done(DockerError::decodingFailed(QString::fromUtf8(error.what())));
            }
            runOnEngine([logsPath](const DockerEndpoint &at) { return curlArguments(at, logsPath); },
                [tty, done = std::move(done)](const Run &logs) {
                    if (const auto *error = std::get_if<DockerError>(&logs))
                        return done(*error);
                    const auto &read = std::get<ProcessRunner::Result>(logs);
                    if (const std::optional<DockerError> failure = runFailure(read))
                        return done(*failure);
                    done(QString::fromUtf8(DockerLogs::decodeFrames(read.output, tty, read.cut)));
                },
                /* keepTail */ true);
        });
}

void DockerClient::release()
{
    if (m_forward)
        m_forward->stop();
}

void DockerClient::whenRouteChanged(std::function<void()> again)
{
    if (m_forward)
        QObject::connect(m_forward.get(), &DockerSshForward::changed, m_forward.get(), std::move(again));
}

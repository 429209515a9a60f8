#pragma once

#include "core/CancelHandle.h"
#include "integrations/docker/DockerContainer.h"
#include "integrations/docker/DockerError.h"
#include "integrations/docker/DockerEvents.h"

#include <QString>

#include <functional>
#include <optional>
#include <variant>

// What DockerModule reads from the engine and sends to it: the container list, the event stream,
// a container's log and its commands. DockerClient is the real one; tests hand the module a
// scripted one. Every `done` is called exactly once, later, on the GUI thread (never inside the
// call that asked); it may run after the source is gone.
class ContainerSource {
public:
    // The list in the engine's order, or why there is none.
    using Result = std::variant<DockerContainerList, DockerError>;
    using Done = std::function<void(const Result &)>;

    virtual ~ContainerSource() = default;

    // Asks for the list of all containers, stopped ones included.
    virtual void listContainers(Done done) = 0;

    // Follows the engine's container events: `seen` for each as it comes, `ended` once when the
    // stream ends or cannot start. Cancelling the handle ends the stream at once; neither callback
    // runs after that.
    using EventSeen = std::function<void(const DockerEvent &)>;
    virtual CancelHandle watchEvents(EventSeen seen, std::function<void()> ended) = 0;

    // None when the engine did what was asked, else why not.
    using CommandResult = std::optional<DockerError>;
    using CommandDone = std::function<void(const CommandResult &)>;
    enum class Command { Start, Stop, Restart };

    // Sends `command` for the container with the engine's id `containerId`.
    virtual void send(const QString &containerId, Command command, CommandDone done) = 0;

    // The end of a container's output (stdout and stderr, with time stamps) as text, or why not.
    using LogResult = std::variant<QString, DockerError>;
    virtual void readLogs(const QString &containerId, std::function<void(const LogResult &)> done) = 0;

    // Which engine the last request went to: its name ("Docker", "Podman", a context) and address.
    struct Engine {
        QString name;
        QString address; // where it listens, as the pane shows it
        friend bool operator==(const Engine &, const Engine &) = default;
    };
    // None before the first request and while no socket is found.
    virtual std::optional<Engine> engine() const = 0;

    // The module stopped: let go of what keeps the engine reachable (an SSH forward); the next
    // request takes it up again.
    virtual void release() { }
    // `again` runs whenever the way to the engine came up or went down without a request telling
    // (an SSH forward), so the caller may ask at once.
    virtual void whenRouteChanged(std::function<void()> again) { (void)again; }
};

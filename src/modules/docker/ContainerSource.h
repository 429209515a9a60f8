#pragma once

#include "modules/docker/DockerContainer.h"
#include "modules/docker/DockerError.h"

#include <QString>

#include <functional>
#include <optional>
#include <variant>

// Where DockerModule reads the engine's container list from, one request per poll. DockerClient is
// the real one; tests hand the module a scripted one.
class ContainerSource {
public:
    // The list in the engine's order, or why there is none.
    using Result = std::variant<DockerContainerList, DockerError>;
    using Done = std::function<void(const Result &)>;

    virtual ~ContainerSource() = default;

    // Asks for the list of all containers, stopped ones included. `done` is called exactly once,
    // later, on the GUI thread (never inside this call); it may run after the source is gone.
    virtual void listContainers(Done done) = 0;

    // None when the engine did what was asked, else why not.
    using CommandResult = std::optional<DockerError>;
    using CommandDone = std::function<void(const CommandResult &)>;

    // Starts (or stops) the container with the engine's id `containerId`; `done` as above.
    virtual void setRunning(const QString &containerId, bool running, CommandDone done) = 0;
};

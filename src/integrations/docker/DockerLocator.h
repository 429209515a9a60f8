#pragma once

#include "integrations/docker/DockerCliConfig.h"
#include "integrations/docker/DockerClient.h"

#include <functional>
#include <variant>

// Where a DockerClient finds its engine: as the user's docker CLI would.
namespace DockerLocator {

// The local socket through which an ssh endpoint's engine is reached now, or why not (yet).
using SshRoute = std::function<std::variant<QString, DockerError>(const DockerEndpoint &)>;

// With an empty `context`, the engine the CLI uses now (DOCKER_HOST, the current context, else the
// first of `candidates` that answers); else the engine of that context, by its name. Each call
// reads the CLI's configuration afresh.
DockerClient::Locate cli(DockerCliConfig config, QString context,
    QStringList candidates = DockerClient::candidateSocketPaths(), SshRoute ssh = {});

} // namespace DockerLocator

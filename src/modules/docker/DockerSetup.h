#pragma once

#include "core/Integration.h"
#include "integrations/docker/DockerCliConfig.h"
#include "integrations/docker/DockerClient.h"
#include "integrations/docker/DockerSshForward.h"
#include "services/IntegrationContext.h"

#include <memory>

// The Docker engines with their module.
namespace DockerSetup {

std::unique_ptr<Integration> make(const IntegrationContext &context);

// The client of one engine: that of `context` by `config`, or the one the CLI uses now for an
// empty `context`; over ssh:// through a forward of its own, made with `sshProgram`.
std::unique_ptr<DockerClient> client(Scheduler &scheduler, ProcessRunner &processes, const DockerCliConfig &config,
    const QString &context, const QString &sshProgram = QString::fromLatin1(DockerSshForward::sshProgram));

} // namespace DockerSetup

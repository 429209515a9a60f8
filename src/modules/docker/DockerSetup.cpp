#include "modules/docker/DockerSetup.h"

#include "integrations/docker/DockerLocator.h"
#include "modules/docker/DockerModule.h"

namespace {

// The engine needs nothing besides its module: no account, no pane, no pages to open.
class DockerIntegration final : public Integration {
public:
    explicit DockerIntegration(const IntegrationContext &context)
    {
        addModule(std::make_unique<DockerModule>(context.scheduler, context.bus,
            std::make_unique<DockerClient>(
                context.processes, ProcessRunner::Limits {}, DockerLocator::cli(DockerCliConfig(), QString()))));
    }
};

} // namespace

std::unique_ptr<Integration> DockerSetup::make(const IntegrationContext &context)
{
    return std::make_unique<DockerIntegration>(context);
}

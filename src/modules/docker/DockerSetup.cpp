#include "modules/docker/DockerSetup.h"

#include "integrations/docker/DockerContexts.h"
#include "integrations/docker/DockerLocator.h"
#include "modules/docker/DockerModule.h"

namespace {

// The engines need nothing besides their module: no account, no pane, no pages to open. Each
// engine's client asks the docker CLI's configuration where its engine is, at every request.
class DockerIntegration final : public Integration {
public:
    explicit DockerIntegration(const IntegrationContext &context)
    {
        addModule(std::make_unique<DockerModule>(context.scheduler, context.bus, context.preferences, m_contexts,
            [&scheduler = context.scheduler, &processes = context.processes](
                const QString &name) { return DockerSetup::client(scheduler, processes, DockerCliConfig(), name); }));
    }

private:
    DockerContexts m_contexts;
};

} // namespace

std::unique_ptr<DockerClient> DockerSetup::client(Scheduler &scheduler, ProcessRunner &processes,
    const DockerCliConfig &config, const QString &context, const QString &sshProgram)
{
    // Each engine has its forward, used only while its address is ssh://.
    auto forward = std::make_shared<DockerSshForward>(scheduler, processes,
        context.isEmpty() ? QStringLiteral("local") : QStringLiteral("context ") + context, sshProgram);
    auto client = std::make_unique<DockerClient>(processes, ProcessRunner::Limits {},
        DockerLocator::cli(config, context, DockerClient::candidateSocketPaths(),
            [forward = std::weak_ptr(forward)](const DockerEndpoint &endpoint) -> std::variant<QString, DockerError> {
                if (const auto kept = forward.lock())
                    return kept->route(endpoint);
                return DockerError::socketNotFound();
            }));
    client->useForward(std::move(forward));
    return client;
}

std::unique_ptr<Integration> DockerSetup::make(const IntegrationContext &context)
{
    return std::make_unique<DockerIntegration>(context);
}

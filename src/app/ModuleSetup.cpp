#include "app/ModuleSetup.h"

#include "core/EventBus.h"
#include "core/ModuleRegistry.h"
#include "modules/docker/DockerClient.h"
#include "modules/docker/DockerModule.h"
#include "modules/github_actions/GitHubActionsModule.h"
#include "modules/github_pull_requests/GitHubPullRequestsModule.h"
#include "services/GitHubCredentials.h"
#include "services/KeychainStore.h"

#include <memory>

namespace {

std::unique_ptr<GitHubClient> makeClient(const ModuleSetup::Services &services, std::optional<QString> token)
{
    return std::make_unique<GitHubClient>(services.network, std::move(token), services.gitHubEndpoint);
}

} // namespace

void ModuleSetup::run(ModuleRegistry &registry, EventBus &bus, const Services &services)
{
    // One read for both clients, before the first registration. A locked keyring answers a read
    // with an unlock prompt, which the user should see once per launch, not once per module; and
    // the desktop's secret store answers through a local event loop, which would otherwise start a
    // registered module while the launch is still under way. Each client keeps the token it was
    // given, so a token stored later counts from the next launch.
    const std::optional<QString> token = services.secrets.read(QString::fromLatin1(KeychainStore::gitHubTokenAccount));
    services.credentials.setToken(token);

    registry.registerModule(
        std::make_unique<GitHubActionsModule>(repository, makeClient(services, token), services.scheduler));
    registry.registerModule(
        std::make_unique<GitHubPullRequestsModule>(repository, bus, makeClient(services, token), services.scheduler));
    registry.registerModule(
        std::make_unique<DockerModule>(services.scheduler, std::make_unique<DockerClient>(services.processes)));
}

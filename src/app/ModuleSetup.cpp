#include "app/ModuleSetup.h"

#include "core/EventBus.h"
#include "core/ModuleRegistry.h"
#include "modules/docker/DockerClient.h"
#include "modules/docker/DockerModule.h"
#include "modules/github_actions/GitHubActionsModule.h"
#include "modules/github_pull_requests/GitHubPullRequestsModule.h"
#include "services/KeychainStore.h"

#include <memory>

void ModuleSetup::run(ModuleRegistry &registry, EventBus &bus, const Services &services)
{
    // One read serves both clients: a locked keyring asks the user to unlock it once, not once
    // per module, and both clients surely hold the same token. Each keeps what it was given, so
    // a token stored later counts from the next launch.
    const std::optional<QString> token = services.secrets.read(QString::fromLatin1(KeychainStore::gitHubTokenAccount));
    const auto client
        = [&] { return std::make_unique<GitHubClient>(services.network, token, services.gitHubEndpoint); };
    registry.registerModule(std::make_unique<GitHubActionsModule>(repository, client(), services.scheduler));
    registry.registerModule(std::make_unique<GitHubPullRequestsModule>(repository, bus, client(), services.scheduler));
    registry.registerModule(
        std::make_unique<DockerModule>(services.scheduler, std::make_unique<DockerClient>(services.processes)));
}

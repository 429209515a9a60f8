#include "app/ModuleSetup.h"

#include "core/EventBus.h"
#include "core/ModuleRegistry.h"
#include "modules/docker/DockerClient.h"
#include "modules/docker/DockerModule.h"
#include "modules/github_actions/GitHubActionsModule.h"
#include "modules/github_pull_requests/GitHubPullRequestsModule.h"
#include "services/KeychainStore.h"

#include <memory>

namespace {

std::unique_ptr<GitHubClient> makeClient(const ModuleSetup::Services &services)
{
    const std::optional<QString> token = services.secrets.read(QString::fromLatin1(KeychainStore::gitHubTokenAccount));
    return std::make_unique<GitHubClient>(services.network, token, services.gitHubEndpoint);
}

} // namespace

void ModuleSetup::run(ModuleRegistry &registry, EventBus &bus, const Services &services)
{
    // Each client keeps the token it was given: a token stored later counts from the next launch.
    registry.registerModule(
        std::make_unique<GitHubActionsModule>(repository, makeClient(services), services.scheduler));
    registry.registerModule(
        std::make_unique<GitHubPullRequestsModule>(repository, bus, makeClient(services), services.scheduler));
    registry.registerModule(
        std::make_unique<DockerModule>(services.scheduler, std::make_unique<DockerClient>(services.processes)));
}

#include "app/ModuleSetup.h"

#include "core/EventBus.h"
#include "core/ModuleRegistry.h"
#include "modules/docker/DockerClient.h"
#include "modules/docker/DockerModule.h"
#include "modules/github_actions/GitHubActionsModule.h"
#include "modules/github_pull_requests/GitHubPullRequestsModule.h"
#include "services/GitHubCredentials.h"
#include "services/SecretStore.h"

#include <memory>

namespace {

std::unique_ptr<GitHubClient> makeClient(const ModuleSetup::Services &services)
{
    return std::make_unique<GitHubClient>(services.network, services.credentials, services.gitHubEndpoint);
}

} // namespace

void ModuleSetup::run(ModuleRegistry &registry, EventBus &bus, const Services &services)
{
    // One read for both clients, before the first registration. A locked keyring answers a read
    // with an unlock prompt, which the user should see once per launch, not once per module; and
    // the desktop's secret store answers through a local event loop, which would otherwise start a
    // registered module while the launch is still under way. Both clients read the shared
    // credentials at every request, so a token set there later (read again once the store can be
    // read) counts from the next request.
    // The token is the configured server's own.
    const GitHubServer server = GitHubServer::stored(services.preferences);
    services.credentials.useServer(server, services.secrets.read(server.tokenAccount()));

    registry.registerModule(std::make_unique<GitHubActionsModule>(
        services.preferences, bus, makeClient(services), services.credentials, services.scheduler));
    registry.registerModule(std::make_unique<GitHubPullRequestsModule>(
        services.preferences, bus, makeClient(services), services.credentials, services.scheduler));
    registry.registerModule(
        std::make_unique<DockerModule>(services.scheduler, bus, std::make_unique<DockerClient>(services.processes)));
}

#pragma once

#include "services/GitHubClient.h"

#include <QString>

class EventBus;
class GitHubCredentials;
class ModuleRegistry;
class PreferenceStore;
class ProcessRunner;
class QNetworkAccessManager;
class Scheduler;
class SecretStore;

// Creates the three integration modules and registers them, in their fixed order: GitHub Actions,
// pull requests, Docker. The token of the server in the preferences is read from the secret store
// once, before the first registration, into the shared credentials both GitHub clients read at
// every request; the GitHub modules follow the watched repositories in the preferences.
// Registration queues each enabled module's start, so none works before the launch sequence
// returns.
namespace ModuleSetup {

struct Services {
    PreferenceStore &preferences;
    GitHubCredentials &credentials;
    SecretStore &secrets;
    QNetworkAccessManager &network;
    Scheduler &scheduler;
    ProcessRunner &processes;
    const GitHubTransport::Endpoint &gitHubEndpoint;
};

void run(ModuleRegistry &registry, EventBus &bus, const Services &services);

} // namespace ModuleSetup

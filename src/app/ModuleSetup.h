#pragma once

#include "services/GitHubClient.h"

#include <QString>

class EventBus;
class GitHubCredentials;
class ModuleRegistry;
class ProcessRunner;
class QNetworkAccessManager;
class Scheduler;
class SecretStore;

// Creates the three integration modules with their compiled-in configuration and registers them,
// in their fixed order: GitHub Actions, pull requests, Docker. The token is read from the secret
// store once, before the first registration, and handed to both GitHub clients; a missing token
// leaves both without one. Registration queues each enabled module's start, so none works before
// the launch sequence returns.
namespace ModuleSetup {

inline const QString repository = QStringLiteral("teskarvo/Tarnlet");

struct Services {
    SecretStore &secrets;
    // Receives the token read at launch.
    GitHubCredentials &credentials;
    QNetworkAccessManager &network;
    Scheduler &scheduler;
    ProcessRunner &processes;
    const GitHubClient::Endpoint &gitHubEndpoint;
};

void run(ModuleRegistry &registry, EventBus &bus, const Services &services);

} // namespace ModuleSetup

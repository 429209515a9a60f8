#pragma once

#include "services/IntegrationContext.h"

#include <QString>

#include <functional>
#include <memory>

class PreferenceStore;
class ProcessRunner;
class QNetworkAccessManager;
class Scheduler;
class SecretStore;
class Updater;
struct DesktopServices;

// Everything the application is built from that differs between a user's desktop and a test:
// main() fills it with the production backends, in-process tests with the headless desktop and
// fakes. The references must outlive the AppDelegate built from it.
struct AppServices {
    PreferenceStore &preferences;
    Scheduler &scheduler;
    SecretStore &secrets;
    QNetworkAccessManager &network;
    ProcessRunner &processes;
    DesktopServices &desktop;
    std::unique_ptr<Updater> updater;
    // Where the integrations' clients connect: their own servers, except in test builds.
    TestEndpoint testEndpoint;
    // Where the one-line notices of the launch go (standard error in production).
    std::function<void(const QString &)> notice;
};

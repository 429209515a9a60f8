#pragma once

#include "HttpsTestServer.h"
#include "InMemorySecretStore.h"
#include "ManualScheduler.h"
#include "TempPreferences.h"

#include "app/AppDelegate.h"
#include "core/ModuleRegistry.h"
#include "core/prefs/AppPreferences.h"
#include "platform/headless/HeadlessDesktop.h"
#include "services/QtProcessRunner.h"
#include "updates/GitHubReleaseUpdater.h"
#include "updates/MessageBoxUpdateDialogs.h"

#include <QCoreApplication>
#include <QNetworkAccessManager>
#include <QNetworkReply>

#include <gtest/gtest.h>

// The application as main() builds it, with the real network stack and updater against a local
// HTTPS server standing in for GitHub; a manual clock, an in-memory keyring holding a token, a
// preference file of its own and a headless desktop.
class AppFixture : public ::testing::Test {
protected:
    static inline const QString token = QStringLiteral("ghp_launchToken");

    // The desktop's keyring answers through a local event loop, which runs whatever is queued.
    struct WaitingSecretStore final : InMemorySecretStore {
        std::optional<QString> read(const QString &account) override
        {
            QCoreApplication::processEvents();
            return InMemorySecretStore::read(account);
        }
    };

    void SetUp() override
    {
        ASSERT_TRUE(server.start());
        // No Docker engine: the module is registered but switched off.
        prefs.store->setValue(
            QString::fromLatin1(ModuleRegistry::disabledModuleIDsKey), QStringList { QStringLiteral("docker") });
        secrets.items.insert(QStringLiteral("github.pat"), token);
        endpoint.apiRoot = server.origin();
        endpoint.extraTrustedCertificates = { HttpsTestServer::certificate() };
    }

    // Builds the application; the test calls applicationDidFinishLaunching() on it.
    AppDelegate &create()
    {
        desktop = createHeadlessDesktopServices(HeadlessScreenProvider::plain(QRectF(0, 0, 1440, 900)));
        const GitHubReleaseUpdater::Config release { AppPreferences::tarnletRepository, QStringLiteral(TARNLET_VERSION),
            endpoint };
        app = std::make_unique<AppDelegate>(AppServices { *prefs.store, scheduler, secrets, network, processes, desktop,
            std::make_unique<GitHubReleaseUpdater>(release, network, *prefs.store, scheduler, dialogs), endpoint,
            [this](const QString &line) { notices << line; } });
        return *app;
    }

    // Replies are the network manager's children until they are deleted.
    bool transfersRunning() const
    {
        return std::ranges::any_of(network.findChildren<QNetworkReply *>(), &QNetworkReply::isRunning);
    }

    HttpsTestServer server;
    GitHubTransport::Endpoint endpoint;
    TempPreferences prefs;
    ManualScheduler scheduler;
    WaitingSecretStore secrets;
    QNetworkAccessManager network;
    QtProcessRunner processes { scheduler };
    MessageBoxUpdateDialogs dialogs;
    DesktopServices desktop;
    QStringList notices;
    std::unique_ptr<AppDelegate> app;
};

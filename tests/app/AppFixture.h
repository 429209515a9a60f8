#pragma once

#include "HttpsTestServer.h"
#include "InMemorySecretStore.h"
#include "ManualScheduler.h"
#include "TempPreferences.h"

#include "app/AppDelegate.h"
#include "platform/headless/HeadlessDesktop.h"
#include "services/ProcessRunner.h"
#include "updates/GitHubReleaseUpdater.h"
#include "updates/UpdateDialogs.h"

#include <QCoreApplication>
#include <QNetworkAccessManager>
#include <QTimer>

#include <gtest/gtest.h>

// The application as main() builds it, with the real network stack and updater against a local
// HTTPS server standing in for GitHub; a manual clock, an in-memory keyring holding a token, a
// preference file of its own, a headless desktop and no Docker engine.
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

    struct NoEngine final : ProcessRunner {
        void run(const QString &, const QStringList &, const Limits &, Done done) override
        {
            QTimer::singleShot(0, [done] { done({ Result::Outcome::FailedToStart, 0, {}, {} }); });
        }
    };

    struct CountingDialogs final : UpdateDialogs {
        int shown = 0;
        void showUpdateAvailable(const QString &, const QString &, const QUrl &) override { ++shown; }
        void showUpToDate(const QString &) override { ++shown; }
        void showError(const QString &) override { ++shown; }
    };

    void SetUp() override
    {
        ASSERT_TRUE(server.start());
        secrets.items.insert(QStringLiteral("github.pat"), token);
        endpoint.apiRoot = server.origin();
        endpoint.extraTrustedCertificates = { HttpsTestServer::certificate() };
    }

    // Builds the application; the test calls applicationDidFinishLaunching() on it.
    AppDelegate &create()
    {
        desktop = createHeadlessDesktopServices(HeadlessScreenProvider::plain(QRectF(0, 0, 1440, 900)));
        const GitHubReleaseUpdater::Config release { QStringLiteral("teskarvo/Tarnlet"),
            QStringLiteral(TARNLET_VERSION), endpoint };
        app = std::make_unique<AppDelegate>(AppServices { *prefs.store, scheduler, secrets, network, noEngine, desktop,
            std::make_unique<GitHubReleaseUpdater>(release, network, *prefs.store, scheduler, dialogs,
                [this] { return QDateTime::fromSecsSinceEpoch(1'800'000'000 + qint64(scheduler.now())); }),
            endpoint, [this](const QString &line) { notices << line; } });
        return *app;
    }

    HttpsTestServer server;
    GitHubTransport::Endpoint endpoint;
    TempPreferences prefs;
    ManualScheduler scheduler;
    WaitingSecretStore secrets;
    QNetworkAccessManager network;
    NoEngine noEngine;
    CountingDialogs dialogs;
    DesktopServices desktop;
    QStringList notices;
    std::unique_ptr<AppDelegate> app;
};

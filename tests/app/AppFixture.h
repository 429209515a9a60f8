#pragma once

#include "HttpsTestServer.h"
#include "InMemorySecretStore.h"
#include "ManualScheduler.h"
#include "TempPreferences.h"

#include "app/AppDelegate.h"
#include "notch/NotchController.h"
#include "notch/NotchPanel.h"
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
// preference file of its own and a headless desktop. The Docker engine is absent unless a test
// hands in another process runner before create().
class AppFixture : public ::testing::Test {
protected:
    static inline const QString token = QStringLiteral("ghp_launchToken");

    // The desktop's secret store answers through a local event loop, which runs whatever is queued.
    struct WaitingSecretStore final : SecretStore {
        InMemorySecretStore stored;
        std::optional<QString> read(const QString &account) override
        {
            QCoreApplication::processEvents();
            return stored.read(account);
        }
        void save(const QString &text, const QString &account) override { stored.save(text, account); }
        void remove(const QString &account) override { stored.remove(account); }
    };

    struct NoEngine final : ProcessRunner {
        int runs = 0;
        void run(const QString &, const QStringList &, const Limits &, Done done) override
        {
            ++runs;
            QTimer::singleShot(0, [done] {
                done({ Result::Outcome::FailedToStart, 0, {}, QStringLiteral("absent") });
            });
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
        secrets.stored.items.insert(QStringLiteral("github.pat"), token);
        endpoint.apiRoot = server.origin();
        endpoint.extraTrustedCertificates = { HttpsTestServer::certificate() };
    }

    AppDelegate &create()
    {
        desktop = createHeadlessDesktopServices(HeadlessScreenProvider::plain(QRectF(0, 0, 1440, 900)));
        desktop.makeStatusItem = [this] {
            // The overlay, the modules and the settings controller come before the status item.
            builtBeforeStatusItem = app->notch() && app->notch()->panel().isVisible()
                && app->registry().modules().size() == 3 && app->settings();
            return std::make_unique<HeadlessStatusItem>(trayAvailable);
        };
        const GitHubReleaseUpdater::Config release { QStringLiteral("teskarvo/Tarnlet"),
            QStringLiteral(TARNLET_VERSION), endpoint };
        app = std::make_unique<AppDelegate>(
            AppServices { *prefs.store, scheduler, secrets, network, *processes, desktop,
                std::make_unique<GitHubReleaseUpdater>(release, network, *prefs.store, scheduler, dialogs,
                    [this] { return QDateTime::fromSecsSinceEpoch(1'800'000'000 + qint64(scheduler.now())); }),
                endpoint, [this](const QString &line) { notices << line; } });
        return *app;
    }

    AppDelegate &launch()
    {
        if (!app)
            create();
        app->applicationDidFinishLaunching();
        return *app;
    }

    HeadlessStatusItem &statusItem() const { return static_cast<HeadlessStatusItem &>(*app->statusItem()); }
    HeadlessScreenProvider &screens() const { return static_cast<HeadlessScreenProvider &>(*desktop.screens); }
    HeadlessPointerMonitor &pointer() const { return static_cast<HeadlessPointerMonitor &>(*desktop.pointer); }

    HttpsTestServer server;
    GitHubTransport::Endpoint endpoint;
    TempPreferences prefs;
    ManualScheduler scheduler;
    WaitingSecretStore secrets;
    QNetworkAccessManager network;
    NoEngine noEngine;
    ProcessRunner *processes = &noEngine;
    CountingDialogs dialogs;
    DesktopServices desktop;
    bool trayAvailable = true;
    bool builtBeforeStatusItem = false;
    QStringList notices;
    std::unique_ptr<AppDelegate> app;
};

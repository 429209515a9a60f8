#pragma once

#include "HttpsTestServer.h"
#include "InMemorySecretStore.h"
#include "ManualScheduler.h"
#include "TempPreferences.h"

#include "app/AppDelegate.h"
#include "core/ModuleRegistry.h"
#include "core/prefs/AppPreferences.h"
#include "integrations/github/GitHubRepository.h"
#include "platform/headless/HeadlessDesktop.h"
#include "services/QtProcessRunner.h"
#include "updates/GitHubReleaseUpdater.h"
#include "updates/MessageBoxUpdateDialogs.h"

#include <QCoreApplication>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QTimer>

#include <gtest/gtest.h>

// The application as main() builds it, with the real network stack and updater against a local
// HTTPS server standing in for GitHub; a manual clock, an in-memory keyring holding a token, a
// preference file of its own and a headless desktop.
class AppFixture : public ::testing::Test {
protected:
    static inline const QString token = QStringLiteral("ghp_launchToken");

    void SetUp() override
    {
        ASSERT_TRUE(server.start());
        // No Docker engine: the module is registered but switched off.
        prefs.store->setValue(
            QString::fromLatin1(ModuleRegistry::disabledModuleIDsKey), QStringList { QStringLiteral("docker") });
        secrets.items.insert(QStringLiteral("github.pat"), token);
        endpoint.apiRoot = server.origin();
        endpoint.trustedCertificates = { HttpsTestServer::certificate() };
    }

    // Builds the application; the test calls applicationDidFinishLaunching() on it.
    AppDelegate &create()
    {
        desktop = createHeadlessDesktopServices(HeadlessScreenProvider::plain(QRectF(0, 0, 1440, 900)));
        GitHubTransport::Endpoint releases;
        releases.apiRoot = endpoint.apiRoot;
        releases.extraTrustedCertificates = endpoint.trustedCertificates;
        const GitHubReleaseUpdater::Config release { GitHubRepository::tarnletRepository,
            QStringLiteral(TARNLET_VERSION), releases };
        app = std::make_unique<AppDelegate>(AppServices { *prefs.store, scheduler, secrets, network, processes, desktop,
            std::make_unique<GitHubReleaseUpdater>(release, network, *prefs.store, scheduler, dialogs), endpoint,
            [this](const QString &line) { notices << line; } });
        return *app;
    }

    // A page of one completed run of "CI" on main.
    static QByteArray runsPage(int id, const QString &conclusion)
    {
        const QString run = QStringLiteral(R"({"id":%1,"name":"CI","head_branch":"main","status":"completed",)"
                                           R"("conclusion":"%2","created_at":"2027-01-15T08:00:00Z",)"
                                           R"("updated_at":"2027-01-15T08:00:00Z","html_url":"https://x/%1"})");
        return R"({"workflow_runs":[)" + run.arg(QString::number(id), conclusion).toUtf8() + "]}";
    }

    // Moves the clock job by job until `until`, letting the event loop finish the transfers each job
    // started. The recorded requests are dropped as it goes, so a long run keeps the test's own
    // memory flat.
    void runUntil(double until)
    {
        const auto busy = [this] {
            return std::ranges::any_of(network.findChildren<QNetworkReply *>(), &QNetworkReply::isRunning);
        };
        QTimer heartbeat; // bounds each wait for events
        heartbeat.start(20);
        while (scheduler.now() < until) {
            ASSERT_GE(scheduler.nextDelay(), 0);
            scheduler.advance(std::min(scheduler.nextDelay(), until - scheduler.now()));
            for (int idle = 0; idle < 2; idle = busy() ? 0 : idle + 1) {
                QCoreApplication::processEvents(busy() ? QEventLoop::WaitForMoreEvents : QEventLoop::AllEvents);
                QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            }
            server.clearRequests();
        }
    }

    HttpsTestServer server;
    TestEndpoint endpoint;
    TempPreferences prefs;
    ManualScheduler scheduler;
    InMemorySecretStore secrets;
    QNetworkAccessManager network;
    QtProcessRunner processes { scheduler };
    MessageBoxUpdateDialogs dialogs;
    DesktopServices desktop;
    QStringList notices;
    std::unique_ptr<AppDelegate> app;
};

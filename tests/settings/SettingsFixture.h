#pragma once

#include "FakeGitHubApi.h"
#include "InMemorySecretStore.h"
#include "SettingsFakes.h"

#include "core/ModuleRegistry.h"
#include "core/prefs/AppPreferences.h"
#include "core/prefs/PreferenceStore.h"
#include "services/GitHubCredentials.h"
#include "settings/GitHubAccount.h"
#include "settings/SettingsWindowController.h"
#include "updates/UpdateController.h"

#include <memory>

// The settings window over a preference store, a registry holding the three modules (the
// Actions module with a status, the other two without), a fake updater, and the account over an
// in-memory secret store and a GitHub API the test answers.
struct SettingsFixture {
    explicit SettingsFixture(std::unique_ptr<PreferenceStore> store, bool withModules = true)
        : preferences(std::move(store))
        , registry(*preferences)
    {
        AppPreferences::registerDefaults(*preferences);
        auto updaterOwned = std::make_unique<FakeUpdater>();
        updater = updaterOwned.get();
        updates = std::make_unique<UpdateController>(std::move(updaterOwned));
        if (withModules) {
            actions = add(QStringLiteral("github.actions"), QStringLiteral("GitHub Actions"));
            actions->setStatus(ModuleStatus { QStringLiteral("CI · main · erfolgreich"), Color::green() });
            pullRequests = add(QStringLiteral("github.pullRequests"), QStringLiteral("Pull Requests"));
            docker = add(QStringLiteral("docker"), QStringLiteral("Docker"));
        }
        controller = std::make_unique<SettingsWindowController>(registry, *updates, *preferences, account);
    }

    StatusModule *add(const QString &id, const QString &title)
    {
        auto module = std::make_unique<StatusModule>(id, title);
        StatusModule *raw = module.get();
        registry.registerModule(std::move(module));
        return raw;
    }

    std::unique_ptr<PreferenceStore> preferences;
    ModuleRegistry registry;
    FakeUpdater *updater = nullptr;
    std::unique_ptr<UpdateController> updates;
    InMemorySecretStore secrets;
    GitHubCredentials credentials;
    FakeGitHubApi gitHub;
    GitHubAccount account { secrets, credentials, gitHub };
    StatusModule *actions = nullptr;
    StatusModule *pullRequests = nullptr;
    StatusModule *docker = nullptr;
    std::unique_ptr<SettingsWindowController> controller;
};

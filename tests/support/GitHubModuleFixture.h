#pragma once

#include "FakeGitHubApi.h"
#include "GitHubPages.h"
#include "ManualScheduler.h"
#include "TempPreferences.h"

#include "core/EventBus.h"
#include "core/LinkGate.h"
#include "core/prefs/AppPreferences.h"
#include "integrations/github/GitHubCredentials.h"
#include "integrations/github/GitHubRepository.h"
#include "integrations/github/GitHubTokenState.h"

#include <gtest/gtest.h>

#include <memory>

// A GitHub module over a fake API, a clock moved by hand and temporary preferences watching "o/r".
// Every announcement must come from the module. Rows open pages of github.com through `links`.
template<typename Module> class GitHubModuleFixture : public ::testing::Test {
protected:
    GitHubModuleFixture()
    {
        AppPreferences::registerDefaults(*prefs.store);
        watch({ QStringLiteral("o/r") });
        auto fake = std::make_unique<FakeGitHubApi>();
        api = fake.get();
        module = std::make_unique<Module>(*prefs.store, bus, std::move(fake), credentials, scheduler);
        bus.subscribe([this](const ModuleEvent &event) {
            EXPECT_EQ(event.moduleID, module->id());
            events.append(event);
        });
    }

    void watch(const QStringList &repos) { prefs.store->setValue(GitHubRepository::listKey, repos); }
    // The texts announced since the last call.
    QStringList takeTexts()
    {
        QStringList texts;
        for (const ModuleEvent &event : std::exchange(events, {}))
            texts.append(event.text);
        return texts;
    }

    TempPreferences prefs;
    EventBus bus;
    GitHubCredentials credentials { QStringLiteral("ghp_test") };
    LinkGate links = gitHubPages();
    ManualScheduler scheduler;
    FakeGitHubApi *api = nullptr;
    std::unique_ptr<Module> module;
    QList<ModuleEvent> events;
};

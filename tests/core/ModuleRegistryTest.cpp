#include "FakeModule.h"
#include "QtPrinters.h"
#include "TempPreferences.h"

#include "core/ModuleRegistry.h"

#include <QCoreApplication>
#include <QSignalSpy>

#include <gtest/gtest.h>

namespace {

const QString key = QStringLiteral("disabledModuleIDs");

QStringList stored(const PreferenceStore &store)
{
    return store.stringListValue(key).value_or(QStringList{QStringLiteral("<absent>")});
}

void drainQueuedStarts()
{
    QCoreApplication::processEvents();
}

TEST(ModuleRegistry, StartsRegisteredModulesLaterInOrderAndDropsDuplicateIds)
{
    TempPreferences prefs;
    ModuleRegistry registry(*prefs.store);
    QSignalSpy notices(&registry, &ModuleRegistry::willChange);
    QStringList startOrder;

    auto first = std::make_unique<FakeModule>(QStringLiteral("a"));
    auto *a = first.get();
    a->startLog = &startOrder;
    auto second = std::make_unique<FakeModule>(QStringLiteral("b"));
    second->startLog = &startOrder;
    int duplicateDestroyed = 0;
    registry.registerModule(std::move(first));
    registry.registerModule(std::move(second));
    registry.registerModule(std::make_unique<FakeModule>(QStringLiteral("a"), &duplicateDestroyed));

    EXPECT_EQ(a->starts, 0) << "start runs as its own piece of work, after registration";
    drainQueuedStarts();
    EXPECT_EQ(a->starts, 1);
    EXPECT_EQ(startOrder, QStringList({ QStringLiteral("a"), QStringLiteral("b") }));
    ASSERT_EQ(registry.modules().size(), 2u);
    EXPECT_EQ(registry.modules()[1]->id(), QStringLiteral("b"));
    EXPECT_EQ(duplicateDestroyed, 1);
    EXPECT_EQ(notices.count(), 2);
    EXPECT_FALSE(prefs.store->containsUserValue(key)) << "registration persists nothing";
}

TEST(ModuleRegistry, SwitchedOffModuleIsRegisteredButNotStartedUntilSwitchedOn)
{
    TempPreferences prefs;
    prefs.store->setValue(key, QStringList{QStringLiteral("docker")});
    ModuleRegistry registry(*prefs.store);
    auto module = std::make_unique<FakeModule>(QStringLiteral("docker"));
    auto *docker = module.get();
    registry.registerModule(std::move(module));
    drainQueuedStarts();
    EXPECT_EQ(docker->starts, 0);
    EXPECT_FALSE(registry.isEnabled(QStringLiteral("docker")));

    registry.setEnabled(true, QStringLiteral("docker"));
    drainQueuedStarts();
    EXPECT_EQ(docker->starts, 1);
    EXPECT_EQ(stored(*prefs.store), QStringList());

    // Switching on a running module restarts it and rewrites the list.
    registry.setEnabled(true, QStringLiteral("docker"));
    drainQueuedStarts();
    EXPECT_EQ(docker->starts, 2);
}

TEST(ModuleRegistry, PersistsTheSortedSetAfterEverySwitch)
{
    TempPreferences prefs;
    prefs.store->setValue(key, QStringList{QStringLiteral("github.pullRequests"), QStringLiteral("docker"),
                                           QStringLiteral("gone.module"), QStringLiteral("docker")});
    ModuleRegistry registry(*prefs.store);
    EXPECT_EQ(registry.disabledIDs().size(), 3u) << "duplicates collapse";
    auto actions = std::make_unique<FakeModule>(QStringLiteral("github.actions"));
    auto *actionsModule = actions.get();
    registry.registerModule(std::move(actions));
    registry.registerModule(std::make_unique<FakeModule>(QStringLiteral("github.pullRequests")));
    registry.registerModule(std::make_unique<FakeModule>(QStringLiteral("docker")));
    drainQueuedStarts();

    QSignalSpy notices(&registry, &ModuleRegistry::willChange);
    registry.setEnabled(true, QStringLiteral("docker"));
    EXPECT_EQ(stored(*prefs.store), QStringList({QStringLiteral("github.pullRequests"), QStringLiteral("gone.module")}));

    registry.setEnabled(false, QStringLiteral("github.actions"));
    registry.setEnabled(false, QStringLiteral("github.actions"));
    EXPECT_EQ(actionsModule->stops, 2);
    EXPECT_EQ(stored(*prefs.store), QStringList({QStringLiteral("github.actions"), QStringLiteral("github.pullRequests"),
                                                 QStringLiteral("gone.module")}));
    EXPECT_EQ(notices.count(), 3) << "a notice also when the set stays the same";

    // An unregistered id changes nothing, even when it is in the set.
    registry.setEnabled(true, QStringLiteral("gone.module"));
    EXPECT_EQ(notices.count(), 3);
    EXPECT_TRUE(registry.disabledIDs().contains(QStringLiteral("gone.module")));

    // The next launch reads the same set.
    ModuleRegistry nextLaunch(*prefs.reopen());
    EXPECT_EQ(nextLaunch.disabledIDs(), registry.disabledIDs());
}

TEST(ModuleRegistry, StoredValueThatIsNotAListOfStringsMeansNothingIsOff)
{
    for (const QVariant &bad : {QVariant(QStringLiteral("docker")), QVariant(QVariantList{1, 2}), QVariant(true)}) {
        TempPreferences prefs;
        prefs.store->setValue(key, bad);
        ModuleRegistry registry(*prefs.reopen());
        EXPECT_TRUE(registry.disabledIDs().empty());
    }
}

} // namespace

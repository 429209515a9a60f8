#include "QtPrinters.h"
#include "RowModule.h"
#include "TempPreferences.h"

#include "core/ModuleRegistry.h"

#include <QCoreApplication>
#include <QPointer>
#include <QSignalSpy>

#include <gtest/gtest.h>

namespace {

const QString key = QStringLiteral("disabledModuleIDs");

QStringList stored(const PreferenceStore &store)
{
    return store.stringListValue(key).value_or(QStringList { QStringLiteral("<absent>") });
}

// Registers a module with this id and returns it (null once the registry has dropped it).
QPointer<RowModule> add(ModuleRegistry &registry, const char *id, QStringList *startLog = nullptr)
{
    auto module = std::make_unique<RowModule>(QString::fromLatin1(id));
    module->startLog = startLog;
    QPointer<RowModule> raw = module.get();
    registry.registerModule(std::move(module));
    return raw;
}

TEST(ModuleRegistry, StartsRegisteredModulesLaterInOrderAndDropsDuplicateIds)
{
    TempPreferences prefs;
    ModuleRegistry registry(*prefs.store);
    QSignalSpy notices(&registry, &ModuleRegistry::willChange);
    QStringList startOrder;
    RowModule *a = add(registry, "a", &startOrder);
    add(registry, "b", &startOrder);
    QPointer<RowModule> duplicate = add(registry, "a");

    EXPECT_EQ(a->starts, 0) << "start runs as its own piece of work, after registration";
    QCoreApplication::processEvents();
    EXPECT_EQ(startOrder, QStringList({ QStringLiteral("a"), QStringLiteral("b") }));
    ASSERT_EQ(registry.modules().size(), 2u);
    EXPECT_TRUE(duplicate.isNull());
    EXPECT_EQ(notices.count(), 2);
}

TEST(ModuleRegistry, SwitchesStartAndStopModulesAndPersistTheSortedSet)
{
    TempPreferences prefs;
    prefs.store->setValue(key, QStringList { QStringLiteral("github.pullRequests"), QStringLiteral("docker"),
        QStringLiteral("gone.module"), QStringLiteral("docker") });
    ModuleRegistry registry(*prefs.store);
    EXPECT_EQ(registry.disabledIDs().size(), 3u) << "duplicates collapse";
    RowModule *actions = add(registry, "github.actions");
    add(registry, "github.pullRequests");
    RowModule *docker = add(registry, "docker");
    QCoreApplication::processEvents();
    EXPECT_EQ(docker->starts, 0) << "switched off: registered but not started";
    EXPECT_FALSE(registry.isEnabled(QStringLiteral("docker")));

    QSignalSpy notices(&registry, &ModuleRegistry::willChange);
    registry.setEnabled(true, QStringLiteral("docker"));
    QCoreApplication::processEvents();
    EXPECT_EQ(docker->starts, 1);
    EXPECT_EQ(stored(*prefs.store), QStringList({ QStringLiteral("github.pullRequests"), QStringLiteral("gone.module") }));
    registry.setEnabled(true, QStringLiteral("docker")); // switching on a running module restarts it
    QCoreApplication::processEvents();
    EXPECT_EQ(docker->starts, 2);

    registry.setEnabled(false, QStringLiteral("github.actions"));
    registry.setEnabled(false, QStringLiteral("github.actions"));
    EXPECT_EQ(actions->stops, 2);
    EXPECT_EQ(stored(*prefs.store),
        QStringList({ QStringLiteral("github.actions"), QStringLiteral("github.pullRequests"),
            QStringLiteral("gone.module") }));
    EXPECT_EQ(notices.count(), 4) << "a notice also when the set stays the same";

    // An unregistered id changes nothing, even when it is in the set.
    registry.setEnabled(true, QStringLiteral("gone.module"));
    EXPECT_EQ(notices.count(), 4);
    EXPECT_TRUE(registry.disabledIDs().contains(QStringLiteral("gone.module")));

    EXPECT_EQ(ModuleRegistry(*prefs.reopen()).disabledIDs(), registry.disabledIDs()) << "the next launch";
}

} // namespace

#include "QtPrinters.h"
#include "RowModule.h"
#include "TempPreferences.h"

#include "core/ModuleRegistry.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

namespace {

using namespace Qt::StringLiterals;

TEST(ModuleRegistry, StartsSwitchedOnModulesLaterAndPersistsTheSortedSetOfSwitchedOffOnes)
{
    TempPreferences prefs;
    prefs.store->setValue(
        u"disabledModuleIDs"_s, QStringList { u"github.pullRequests"_s, u"docker"_s, u"gone.module"_s, u"docker"_s });
    ModuleRegistry registry(*prefs.store);
    QStringList started;
    for (const QString &id : { u"github.actions"_s, u"github.pullRequests"_s, u"docker"_s, u"github.actions"_s }) {
        auto module = std::make_unique<RowModule>(id);
        module->startLog = &started;
        registry.registerModule(std::move(module));
    }
    EXPECT_TRUE(started.isEmpty()) << "a start runs as its own piece of work, after registration";
    QCoreApplication::processEvents();
    EXPECT_EQ(started, QStringList { u"github.actions"_s }) << "switched off or a duplicate id: never started";

    // Notices come after the change: a reader sees the new state inside the notice.
    QStringList seen;
    QObject::connect(&registry, &ModuleRegistry::enabledChanged,
        [&](const QString &id, bool on) { seen << id + (registry.isEnabled(id) == on ? u"=ok"_s : u"=stale"_s); });
    registry.setEnabled(true, u"docker"_s);
    QCoreApplication::processEvents();
    EXPECT_EQ(started.last(), u"docker"_s);
    registry.setEnabled(false, u"github.actions"_s);
    EXPECT_EQ(static_cast<RowModule *>(registry.module(u"github.actions"_s))->stops, 1);
    registry.setEnabled(true, u"gone.module"_s); // not registered: changes nothing
    EXPECT_EQ(prefs.store->stringListValue(u"disabledModuleIDs"_s),
        QStringList({ u"github.actions"_s, u"github.pullRequests"_s, u"gone.module"_s }));
    EXPECT_EQ(seen, QStringList({ u"docker=ok"_s, u"github.actions=ok"_s }));
}

} // namespace

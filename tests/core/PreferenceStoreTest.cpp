#include "QtPrinters.h"
#include "TempPreferences.h"

#include "core/prefs/AppPreferences.h"

#include <QFile>

#include <gtest/gtest.h>

namespace {

using namespace Qt::StringLiterals;

// Writes `bytes` to `path` when given; returns what the file then holds.
QByteArray fileBytes(const QString &path, const QByteArray &bytes = {})
{
    QFile file(path);
    if (!bytes.isEmpty() && file.open(QIODevice::WriteOnly))
        file.write(bytes);
    file.close();
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A corrupt file is neither fatal nor lost. Defaults live in memory only; a stored value of the
// wrong type reads as the type's neutral value.
TEST(PreferenceStore, CorruptFilesAreKeptAsideUserValuesWinAndWrongTypesReadAsNeutralValues)
{
    TempPreferences prefs;
    const QByteArray corrupt = "{\"notch.flashDuration\": 5, oops";
    fileBytes(prefs.path, corrupt);
    auto store = prefs.reopen();
    EXPECT_EQ(fileBytes(prefs.path), corrupt) << "reading never rewrites the file";
    store->setValue(AppPreferences::hoverOpens, false);
    EXPECT_EQ(fileBytes(prefs.path + u".corrupt"_s), corrupt) << "the user's bytes are kept aside";
    EXPECT_TRUE(prefs.reopen()->containsUserValue(AppPreferences::hoverOpens));

    fileBytes(prefs.path, R"({"notch.flashDuration": 7, "b": "yes", "d": "3.5", "s": 12, "list": ["a", 1],
                             "ok": ["x", "y"]})");
    store = prefs.reopen();
    AppPreferences::registerDefaults(*store);
    EXPECT_DOUBLE_EQ(store->doubleValue(AppPreferences::flashDuration), 7);
    EXPECT_FALSE(store->boolValue(u"b"_s) || store->doubleValue(u"d"_s) || !store->stringValue(u"s"_s).isNull());
    EXPECT_FALSE(store->stringListValue(u"list"_s).has_value());
    EXPECT_EQ(store->stringListValue(u"ok"_s), QStringList({ u"x"_s, u"y"_s }));
    store->setValue(AppPreferences::showSettingsOnLaunch, false);
    EXPECT_FALSE(store->boolValue(AppPreferences::showSettingsOnLaunch));
    store->remove(AppPreferences::showSettingsOnLaunch);
    EXPECT_TRUE(store->boolValue(AppPreferences::showSettingsOnLaunch)) << "removal brings the default back";
    store->setValue(u"b"_s, true);
    EXPECT_TRUE(prefs.reopen()->boolValue(u"b"_s));
    EXPECT_FALSE(prefs.reopen()->value(AppPreferences::hoverOpens).isValid());

    // A typo saved by hand while the store runs: the next write keeps those bytes aside and writes
    // everything the store holds, not the one key it changed.
    const QByteArray typo = "{\"b\": true,, oops";
    fileBytes(prefs.path, typo);
    store->setValue(AppPreferences::hoverOpens, true);
    EXPECT_EQ(fileBytes(prefs.path + u".corrupt"_s), typo);
    const QVariantMap onDisk = PreferenceStore::decodeFile(fileBytes(prefs.path)).value_or(QVariantMap());
    EXPECT_EQ(onDisk.value(u"ok"_s).toStringList(), QStringList({ u"x"_s, u"y"_s }));
    EXPECT_TRUE(onDisk.value(u"b"_s).toBool() && onDisk.value(AppPreferences::hoverOpens).toBool());
    EXPECT_EQ(store->stringListValue(u"ok"_s), QStringList({ u"x"_s, u"y"_s }));
}

} // namespace

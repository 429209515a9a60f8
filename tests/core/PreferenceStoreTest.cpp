#include "QtPrinters.h"
#include "TempPreferences.h"

#include "core/prefs/AppPreferences.h"

#include <QFile>
#include <QSignalSpy>

#include <gtest/gtest.h>

namespace {

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

TEST(AppPreferences, DefaultsAreRegisteredInMemoryOnlyAndUserValuesWin)
{
    TempPreferences prefs;
    AppPreferences::registerDefaults(*prefs.store);
    PreferenceStore &store = *prefs.store;
    EXPECT_TRUE(store.boolValue(AppPreferences::showSettingsOnLaunch));
    EXPECT_DOUBLE_EQ(store.doubleValue(AppPreferences::flashDuration), 3.5);

    QSignalSpy changes(&store, &PreferenceStore::valueChanged);
    store.setValue(AppPreferences::showSettingsOnLaunch, false);
    store.setValue(AppPreferences::flashDuration, 7.0);
    EXPECT_FALSE(store.boolValue(AppPreferences::showSettingsOnLaunch));
    EXPECT_DOUBLE_EQ(store.doubleValue(AppPreferences::flashDuration), 7.0);

    store.remove(AppPreferences::showSettingsOnLaunch);
    EXPECT_TRUE(store.boolValue(AppPreferences::showSettingsOnLaunch)) << "removal brings the default back";
    ASSERT_EQ(changes.count(), 3);
    EXPECT_EQ(changes.at(2).at(0).toString(), AppPreferences::showSettingsOnLaunch);

    // The next launch sees the user's values with their types, and none of the defaults.
    auto next = prefs.reopen();
    EXPECT_DOUBLE_EQ(next->doubleValue(AppPreferences::flashDuration), 7.0);
    EXPECT_FALSE(next->containsUserValue(AppPreferences::showSettingsOnLaunch));
    EXPECT_FALSE(next->value(AppPreferences::hoverOpens).isValid());
}

TEST(PreferenceStore, MissingKeysAndWrongTypesReadAsNeutralValues)
{
    TempPreferences prefs;
    writeFile(prefs.path, R"({"b": "yes", "d": "3.5", "s": 12, "list": ["a", 1], "ok": ["x", "y"],
                              "n": 2})");
    auto store = prefs.reopen();
    EXPECT_FALSE(store->boolValue(QStringLiteral("b")));
    EXPECT_EQ(store->doubleValue(QStringLiteral("d")), 0);
    EXPECT_EQ(store->stringValue(QStringLiteral("s")), QString());
    EXPECT_FALSE(store->stringListValue(QStringLiteral("list")).has_value());
    EXPECT_EQ(store->stringListValue(QStringLiteral("ok")), QStringList({QStringLiteral("x"), QStringLiteral("y")}));
    EXPECT_EQ(store->doubleValue(QStringLiteral("n")), 2);
}

TEST(PreferenceStore, CorruptFileIsNeitherFatalNorLost)
{
    TempPreferences prefs;
    const QByteArray corrupt = "{\"notch.flashDuration\": 5, oops";
    writeFile(prefs.path, corrupt);
    auto store = prefs.reopen();
    AppPreferences::registerDefaults(*store);
    EXPECT_DOUBLE_EQ(store->doubleValue(AppPreferences::flashDuration), 3.5);
    EXPECT_EQ(readFile(prefs.path), corrupt) << "reading never rewrites the file";

    store->setValue(AppPreferences::hoverOpens, false);
    EXPECT_EQ(readFile(prefs.path + QStringLiteral(".corrupt")), corrupt) << "the user's bytes are kept aside";
    EXPECT_FALSE(prefs.reopen()->boolValue(AppPreferences::hoverOpens));
}

} // namespace

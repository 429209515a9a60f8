#include "QtPrinters.h"
#include "TempPreferences.h"

#include "core/prefs/AppPreferences.h"

#include <QFile>
#include <QSignalSpy>

#include <gtest/gtest.h>

namespace {

using namespace Qt::StringLiterals;

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

// Defaults live in memory only; a stored value of the wrong type reads as the type's neutral value.
TEST(PreferenceStore, UserValuesWinOverDefaultsAndWrongTypesReadAsNeutralValues)
{
    TempPreferences prefs;
    writeFile(prefs.path, R"({"notch.flashDuration": 7, "b": "yes", "d": "3.5", "s": 12, "list": ["a", 1],
                              "ok": ["x", "y"]})");
    auto store = prefs.reopen();
    AppPreferences::registerDefaults(*store);
    EXPECT_DOUBLE_EQ(store->doubleValue(AppPreferences::flashDuration), 7);
    EXPECT_TRUE(store->boolValue(AppPreferences::showSettingsOnLaunch));
    EXPECT_FALSE(store->boolValue(u"b"_s));
    EXPECT_EQ(store->doubleValue(u"d"_s), 0);
    EXPECT_EQ(store->stringValue(u"s"_s), QString());
    EXPECT_FALSE(store->stringListValue(u"list"_s).has_value());
    EXPECT_EQ(store->stringListValue(u"ok"_s), QStringList({ u"x"_s, u"y"_s }));

    QSignalSpy changes(store.get(), &PreferenceStore::valueChanged);
    store->setValue(AppPreferences::showSettingsOnLaunch, false);
    EXPECT_FALSE(store->boolValue(AppPreferences::showSettingsOnLaunch));
    store->remove(AppPreferences::showSettingsOnLaunch);
    EXPECT_TRUE(store->boolValue(AppPreferences::showSettingsOnLaunch)) << "removal brings the default back";
    EXPECT_EQ(changes.count(), 2);
    store->setValue(u"b"_s, true);
    auto next = prefs.reopen();
    EXPECT_TRUE(next->boolValue(u"b"_s));
    EXPECT_FALSE(next->value(AppPreferences::hoverOpens).isValid());
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
    EXPECT_EQ(readFile(prefs.path + u".corrupt"_s), corrupt) << "the user's bytes are kept aside";
    EXPECT_TRUE(prefs.reopen()->containsUserValue(AppPreferences::hoverOpens));
}

} // namespace

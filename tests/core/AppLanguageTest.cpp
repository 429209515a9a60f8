#include "core/AppLanguage.h"
#include "core/ModuleRow.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

namespace {

using namespace Qt::StringLiterals;

// English only where a locale asks for it; the preference overrides. The test runs with
// LANGUAGE=fr:en_US:de, which the system locale reads as its list of interface languages.
TEST(AppLanguage, PreferenceThenLocale)
{
    const char *const cases[][3] = {
        { "system", "C", "de" },
        { "system", "en_US", "en" },
        { "system", "en", "en" },
        { "system", "de_DE", "de" },
        { "system", "fr_FR", "de" },
        { "en", "C", "en" },
        { "de", "en_GB", "de" },
    };
    for (const auto &[preference, locale, language] : cases)
        EXPECT_EQ(AppLanguage::choose(QString::fromLatin1(preference), QLocale(QString::fromLatin1(locale))),
            QString::fromLatin1(language))
            << preference << ' ' << locale;
    EXPECT_EQ(AppLanguage::choose(u"system"_s, QLocale::system()), AppLanguage::english)
        << QLocale::system().uiLanguages().join(u' ').toStdString();
    // The built-in translation answers before the application exists; German is the source itself.
    EXPECT_EQ(AppLanguage::translateBeforeStart(QLocale(u"en_US"_s), "AppDelegate", "Beenden"), u"Quit");
    EXPECT_EQ(AppLanguage::translateBeforeStart(QLocale::c(), "AppDelegate", "Beenden"), u"Beenden");

    // Installed, the language counts with its own plural forms, and Qt's built-in texts follow it.
    const QDateTime since(QDate(2026, 3, 1), QTime(12, 0), Qt::UTC);
    const auto daysAgo = [&](int days) { return relativeAge(since, since.addDays(days)); };
    AppLanguage::install(AppLanguage::german);
    EXPECT_EQ(daysAgo(1), u"vor 1 Tag");
    EXPECT_EQ(daysAgo(2), u"vor 2 Tagen");
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), u"Abbrechen");
    AppLanguage::install(AppLanguage::english);
    EXPECT_EQ(daysAgo(1), u"1 day ago");
    EXPECT_EQ(daysAgo(2), u"2 days ago");
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), u"Cancel");

    // Dates and numbers follow a locale that names a language (de_DE with English words), else
    // the interface's language (C or POSIX).
    const auto formats = [](const QString &language, const char *system) {
        AppLanguage::install(language, QLocale(QString::fromLatin1(system)));
        return QLocale().monthName(12, QLocale::ShortFormat) + QLocale().toString(1.5);
    };
    EXPECT_EQ(formats(AppLanguage::german, "C"), u"Dez.1,5");
    EXPECT_EQ(formats(AppLanguage::english, "POSIX"), u"Dec1.5");
    EXPECT_EQ(formats(AppLanguage::english, "de_DE"), u"Dez.1,5");
}

} // namespace

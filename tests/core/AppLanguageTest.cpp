#include "core/AppLanguage.h"

#include <gtest/gtest.h>

namespace {

using namespace Qt::StringLiterals;

QProcessEnvironment environmentOf(const QString &variables)
{
    QProcessEnvironment environment;
    for (const QString &variable : variables.split(u' ', Qt::SkipEmptyParts))
        environment.insert(variable.section(u'=', 0, 0), variable.section(u'=', 1));
    return environment;
}

// The first variable set decides, in gettext's order; English only where a locale asks for it.
TEST(AppLanguage, PreferenceThenLocaleVariables)
{
    const char *const cases[][3] = {
        { "system", "", "de" },
        { "system", "LANG=en_US.UTF-8", "en" },
        { "system", "LANG=de_DE.UTF-8 LC_MESSAGES=en_US.UTF-8", "en" },
        { "system", "LC_MESSAGES=en_US.UTF-8 LC_ALL=C", "de" },
        { "system", "LC_ALL=de_DE.UTF-8 LANGUAGE=en_GB:de", "en" },
        { "system", "LANGUAGE=fr:en_US:de", "en" },
        { "system", "LANGUAGE= LC_ALL= LANG=en_US.UTF-8", "en" },
        { "en", "LANG=C", "en" },
    };
    for (const auto &[preference, variables, language] : cases)
        EXPECT_EQ(AppLanguage::choose(QString::fromLatin1(preference), environmentOf(QString::fromLatin1(variables))),
            QString::fromLatin1(language))
            << preference << ' ' << variables;
    // The built-in translation answers before the application exists; German is the source itself.
    EXPECT_EQ(
        AppLanguage::translateBeforeStart(environmentOf(u"LANG=en_US.UTF-8"_s), "AppDelegate", "Beenden"), u"Quit");
    EXPECT_EQ(AppLanguage::translateBeforeStart(environmentOf(u"LANG=C"_s), "AppDelegate", "Beenden"), u"Beenden");
}

} // namespace

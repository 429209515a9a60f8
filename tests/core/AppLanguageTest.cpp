#include "core/AppLanguage.h"

#include <gtest/gtest.h>

namespace {

struct Case {
    const char *preference;
    std::vector<std::pair<const char *, const char *>> environment;
    const char *language;
};

// The first variable set decides, in gettext's order; English only where a locale asks for it.
// One row per branch: a locale of no language (C) and one of another (fr) take the same way.
TEST(AppLanguage, PreferenceThenLocaleVariables)
{
    const Case cases[] = {
        { "system", {}, "de" },
        { "system", { { "LANG", "en_US.UTF-8" } }, "en" },
        { "system", { { "LANG", "en_GB@euro" } }, "en" },
        { "system", { { "LANG", "en_US.UTF-8" }, { "LC_MESSAGES", "de_DE.UTF-8" } }, "de" },
        { "system", { { "LANG", "de_DE.UTF-8" }, { "LC_MESSAGES", "en_US.UTF-8" } }, "en" },
        { "system", { { "LC_MESSAGES", "en_US.UTF-8" }, { "LC_ALL", "C" } }, "de" },
        { "system", { { "LC_ALL", "de_DE.UTF-8" }, { "LANGUAGE", "en_GB:de" } }, "en" },
        { "system", { { "LANGUAGE", "fr:en_US:de" } }, "en" },
        { "system", { { "LANGUAGE", "" }, { "LC_ALL", "" }, { "LANG", "en_US.UTF-8" } }, "en" },
        { "de", { { "LANG", "en_US.UTF-8" } }, "de" },
        { "en", { { "LANG", "C" } }, "en" },
    };
    for (const Case &c : cases) {
        QProcessEnvironment environment;
        for (const auto &[name, value] : c.environment)
            environment.insert(QString::fromLatin1(name), QString::fromLatin1(value));
        EXPECT_EQ(AppLanguage::choose(QString::fromLatin1(c.preference), environment), QString::fromLatin1(c.language))
            << c.preference << ' ' << environment.toStringList().join(u' ').toStdString();
    }
}

// The built-in translation answers before the application exists; German is the source itself.
TEST(AppLanguage, TranslatesBeforeStartFromTheBuiltInTranslation)
{
    QProcessEnvironment environment;
    environment.insert(QStringLiteral("LANG"), QStringLiteral("en_US.UTF-8"));
    EXPECT_EQ(AppLanguage::translateBeforeStart(environment, "AppDelegate", "Beenden"), u"Quit");
    environment.insert(QStringLiteral("LANG"), QStringLiteral("C"));
    EXPECT_EQ(AppLanguage::translateBeforeStart(environment, "AppDelegate", "Beenden"), u"Beenden");
}

} // namespace

// What the user may enter as a watched repository, and what the modules read back from the list.
#include "QtPrinters.h"
#include "TempPreferences.h"

#include "core/prefs/AppPreferences.h"
#include "services/GitHubRepository.h"

#include <gtest/gtest.h>

namespace {

std::optional<QString> stored(const char *input)
{
    const auto normalized = GitHubRepository::normalize(QString::fromUtf8(input));
    const QString *name = std::get_if<QString>(&normalized);
    return name ? std::optional(*name) : std::nullopt;
}

TEST(GitHubRepository, InputIsTrimmedAddressesAreReducedAndAnythingElseRefused)
{
    for (const char *input : { "  octo-org/hello_world.js\n", "https://github.com/octo-org/hello_world.js/",
             "HTTPS://GitHub.com/octo-org/hello_world.js.git/" })
        EXPECT_EQ(stored(input), QStringLiteral("octo-org/hello_world.js")) << input;
    for (const char *input : { "", "octo-org/", "/repo", "a/b/c", "a b/c", "ä/b", "o/..", "../x", "https://github.com/o",
             "https://github.com/o/r/pulls", "https://gitlab.com/o/r", "o/r?x=1" })
        EXPECT_EQ(stored(input), std::nullopt) << input;
}

TEST(GitHubRepository, WatchedListDefaultsToTarnletAndSkipsBrokenAndRepeatedEntries)
{
    TempPreferences prefs;
    AppPreferences::registerDefaults(*prefs.store);
    EXPECT_EQ(GitHubRepository::watched(*prefs.store), QStringList({ QStringLiteral("teskarvo/Tarnlet") }));
    QStringList entries { QStringLiteral("o/a"), QStringLiteral("nonsense"), QStringLiteral("https://github.com/o/a"),
        QStringLiteral("o/A") };
    for (int i = 0; i < 30; ++i)
        entries.append(QStringLiteral("o/r%1").arg(i));
    prefs.store->setValue(AppPreferences::gitHubRepositories, entries);
    const QStringList watched = GitHubRepository::watched(*prefs.store);
    ASSERT_EQ(watched.size(), GitHubRepository::maximumCount);
    EXPECT_EQ(watched.mid(0, 3), QStringList({ QStringLiteral("o/a"), QStringLiteral("o/A"), QStringLiteral("o/r0") }));
}

} // namespace

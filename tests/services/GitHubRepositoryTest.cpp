// What the user may enter as a watched repository, and what the modules read back from the list.
#include "QtPrinters.h"
#include "TempPreferences.h"

#include "core/prefs/AppPreferences.h"
#include "services/GitHubRepository.h"

#include <gtest/gtest.h>

namespace {

using namespace Qt::StringLiterals;

TEST(GitHubRepository, InputIsReducedToOwnerAndNameOrRefusedAndTheWatchedListSkipsBrokenAndRepeatedEntries)
{
    const auto stored = [](const char *input) {
        const auto normalized = GitHubRepository::normalize(QString::fromUtf8(input));
        return std::holds_alternative<QString>(normalized) ? std::get<QString>(normalized) : u"refused"_s;
    };
    for (const char *input : { "  octo-org/hello_world.js\n", "HTTPS://GitHub.com/octo-org/hello_world.js.git/" })
        EXPECT_EQ(stored(input), u"octo-org/hello_world.js"_s) << input;
    for (const char *input : { "", "octo-org/", "/repo", "a/b/c", "a b/c", "ä/b", "o/..", "../x",
             "https://github.com/o", "https://github.com/o/r/pulls", "https://gitlab.com/o/r", "o/r?x=1" })
        EXPECT_EQ(stored(input), u"refused"_s) << input;

    TempPreferences prefs;
    // An entry of another type spoils none of the others; a name in other letters is the same repository.
    QVariantList entries { u"o/a"_s, u"nonsense"_s, 5, u"https://github.com/o/a"_s, u"o/A"_s };
    for (int i = 0; i < 30; ++i)
        entries.append(u"o/r%1"_s.arg(i));
    prefs.store->setValue(AppPreferences::gitHubRepositories, entries);
    const QStringList watched = GitHubRepository::watched(*prefs.store);
    ASSERT_EQ(watched.size(), GitHubRepository::maximumCount);
    EXPECT_EQ(watched.mid(0, 3), QStringList({ u"o/a"_s, u"o/r0"_s, u"o/r1"_s })) << "o/A repeats o/a";
}

} // namespace

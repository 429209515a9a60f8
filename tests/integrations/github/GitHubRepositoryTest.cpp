// What the user may enter as a watched repository, and what the modules read back from the list.
#include "QtPrinters.h"
#include "TempPreferences.h"

#include "integrations/github/GitHubServer.h"
#include "core/prefs/AppPreferences.h"
#include "integrations/github/GitHubRepository.h"

#include <gtest/gtest.h>

namespace {

using namespace Qt::StringLiterals;

TEST(GitHubRepository, InputIsReducedToOwnerAndNameOrRefusedAndTheWatchedListSkipsBrokenAndRepeatedEntries)
{
    // An address reduces on the configured server only: github.com, or an Enterprise Server.
    const GitHubServer enterprise = *GitHubServer::fromAddress(u"https://github.example.com"_s);
    const auto stored = [](const char *input, const GitHubServer &server = {}) {
        const auto normalized = GitHubRepository::normalize(QString::fromUtf8(input), server);
        return std::holds_alternative<QString>(normalized) ? std::get<QString>(normalized) : u"refused"_s;
    };
    for (const char *input : { "  octo-org/hello_world.js\n", "HTTPS://GitHub.com/octo-org/hello_world.js.git/",
             "https://www.github.com/octo-org/hello_world.js/pulls?q=is%3Aopen" })
        EXPECT_EQ(stored(input), u"octo-org/hello_world.js"_s) << input;
    for (const char *input : { "https://GitHub.Example.com/octo-org/hello_world.js.git",
             "https://github.example.com/octo-org/hello_world.js/tree/main/" })
        EXPECT_EQ(stored(input, enterprise), u"octo-org/hello_world.js"_s) << input;
    for (const char *input : { "", "octo-org/", "/repo", "a/b/c", "a b/c", "ä/b", "o/..", "../x",
             "https://github.com/o", "https://github.com/o%2Fr/x", "https://x@github.com/o/r", "https://gitlab.com/o/r",
             "https://github.example.com/o/r", "o/r?x=1" })
        EXPECT_EQ(stored(input), u"refused"_s) << input;
    for (const char *input : { "https://github.com/o/r", "https://github.example.com:8443/o/r" })
        EXPECT_EQ(stored(input, enterprise), u"refused"_s) << input;

    TempPreferences prefs;
    // An entry of another type spoils none of the others; a name in other letters is the same repository.
    QVariantList entries { u"o/a"_s, u"nonsense"_s, 5, u"https://github.com/o/a"_s, u"o/A"_s,
        u"https://github.example.com/o/b"_s };
    for (int i = 0; i < 30; ++i)
        entries.append(u"o/r%1"_s.arg(i));
    prefs.store->setValue(GitHubRepository::listKey, entries);
    const QStringList watched = GitHubRepository::watched(*prefs.store);
    ASSERT_EQ(watched.size(), GitHubRepository::maximumCount);
    EXPECT_EQ(watched.mid(0, 3), QStringList({ u"o/a"_s, u"o/r0"_s, u"o/r1"_s })) << "o/A repeats o/a";
    // Addresses in the list reduce for the server kept beside it.
    enterprise.store(*prefs.store);
    EXPECT_EQ(GitHubRepository::watched(*prefs.store).mid(0, 3), QStringList({ u"o/a"_s, u"o/b"_s, u"o/r0"_s }));

    // A plain list of names (as older versions wrote it) watches every repository unmuted and
    // unfiltered. Options are found in any letter case; a value of another type reads as none.
    EXPECT_EQ(GitHubRepository::options(*prefs.store, u"o/a"_s), GitHubRepository::Options {});
    using Map = QVariantMap;
    prefs.store->setValue(GitHubRepository::optionsKey,
        Map { { u"O/A"_s,
                  Map { { u"muted"_s, true }, { u"branches"_s, QVariantList { u"main, release/*"_s, 5 } },
                      { u"workflow"_s, u" ci.yml "_s } } },
            { u"o/r0"_s, Map { { u"muted"_s, u"yes"_s }, { u"branches"_s, 7 }, { u"workflow"_s, QVariantList {} } } },
            { u"o/r1"_s, 3 } });
    EXPECT_EQ(GitHubRepository::options(*prefs.store, u"o/a"_s),
        (GitHubRepository::Options { true, { u"main"_s, u"release/*"_s }, u"ci.yml"_s }));
    for (const QString &repo : { u"o/r0"_s, u"o/r1"_s })
        EXPECT_EQ(GitHubRepository::options(*prefs.store, repo), GitHubRepository::Options {}) << repo.toStdString();
    prefs.store->setValue(GitHubRepository::optionsKey, u"broken"_s);
    EXPECT_FALSE(GitHubRepository::isMuted(*prefs.store, u"o/a"_s));
}

} // namespace

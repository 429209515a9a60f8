// The GitHub news module against a fake API on the manual scheduler: the silent baseline,
// announcing only threads the previous poll did not return (none of a muted repository), texts and
// pages per subject type and reason, merge checks, marking threads read.
#include "GitHubModuleFixture.h"
#include "QtPrinters.h"
#include "UrlSink.h"

#include "RowModule.h"

#include "core/ModuleRegistry.h"
#include "core/NewsGate.h"
#include "integrations/github/GitHubErrorText.h"
#include "modules/github_news/GitHubNewsModule.h"

#include <QSignalSpy>

using namespace Qt::StringLiterals;

namespace {

// Thread `id` of "o/r" (or `repo`) about pull request `id`, with its address unless `id` is "-".
GitHubNotification thread(const char *id, const char *reason, const char *repo = "o/r")
{
    GitHubNotification n;
    n.id = QString::fromLatin1(id);
    n.reason = QString::fromLatin1(reason);
    n.subject.title = QStringLiteral("Title ") + n.id;
    n.subject.type = QStringLiteral("PullRequest");
    n.repository.fullName = QString::fromLatin1(repo);
    if (n.id != u"-")
        n.subject.url
            = QUrl(QStringLiteral("https://api.github.com/repos/%1/pulls/%2").arg(n.repository.fullName, n.id));
    return n;
}

// Thread `id` of `repo` about a subject of `type` at API address "https://api.github.com/repos/<path>"
// (none for an empty path).
GitHubNotification about(const char *id, const char *type, const char *reason, const char *path,
    const char *repo = "o/r", const char *title = nullptr)
{
    GitHubNotification n = thread(id, reason, repo);
    n.subject.type = QString::fromLatin1(type);
    n.subject.url.reset();
    if (*path != 0)
        n.subject.url = QUrl(QStringLiteral("https://api.github.com/repos/") + QString::fromLatin1(path));
    if (title != nullptr)
        n.subject.title = QString::fromLatin1(title);
    return n;
}

const QString pulls = QStringLiteral("https://api.github.com/repos/o/r/pulls/");
const PullRequestState merged { QDateTime(QDate(2026, 12, 7), QTime(9, 0), Qt::UTC) };
const QString comment = QStringLiteral("Neuer Review oder Kommentar: Title ");

class GitHubNewsModuleTest : public GitHubModuleFixture<GitHubNewsModule> {
protected:
    // Answers the waiting poll and lets the pause run out (which must be 60 s every time).
    void poll(const GitHubResult<QList<GitHubNotification>> &answer)
    {
        ASSERT_TRUE(api->notifications.answer(answer));
        ASSERT_EQ(scheduler.nextDelay(), 60);
        scheduler.advance(60);
    }
};

TEST_F(GitHubNewsModuleTest, AnnouncesEachThreadMissingFromThePreviousPollWithATextPerReason)
{
    module->start();
    poll(GitHubError::http(401)); // silent, and no baseline yet
    ASSERT_TRUE(api->notifications.deliver(Polled(QList { thread("1", "review_requested") }, false, 120)));
    EXPECT_EQ(scheduler.nextDelay(), 120) << "never sooner than GitHub asks";
    scheduler.advance(120);
    poll(QList { thread("1", "review_requested"), thread("2", "review_requested"), thread("3", "author"),
        thread("4", "comment"), thread("5", "mention"), thread("6", "team_mention"), thread("7", "subscribed") });
    poll(QList { thread("1", "review_requested"), thread("4", "comment") }); // still unread: said once
    poll(QList { thread("1", "review_requested") }); // 4 was read
    poll(QList { thread("4", "comment"), thread("1", "review_requested") }); // and came back
    EXPECT_EQ(module->counts().newsForYou, 1) << "a review asked for counts while its thread is unread";
    ASSERT_EQ(events.size(), 6);
    EXPECT_EQ(events[0].kind, GitHubNewsModule::reviewRequested);
    EXPECT_EQ(events[0].link, QUrl(QStringLiteral("https://github.com/o/r/pull/2")));
    EXPECT_EQ(events[1].kind, GitHubNewsModule::reviewOrComment);
    EXPECT_EQ(takeTexts(),
        QStringList({ QStringLiteral("Review angefragt: Title 2"), comment + u'3', comment + u'4', comment + u'5',
            comment + u'6', comment + u'4' }));
    EXPECT_EQ(module->overlayRows().at(0).link, QUrl(QStringLiteral("https://github.com/o/r/pull/4")));
    // Only an address on the server's own API makes a page on the server.
    const GitHubServer enterprise = GitHubServer::fromAddress(QStringLiteral("https://ghe.example.com")).value();
    const auto page = [](const GitHubServer &server, const char *address) {
        GitHubNotification pull = thread("7", "comment");
        pull.subject.url = QUrl(QString::fromLatin1(address));
        return GitHubNewsModule::subjectPage(server, pull);
    };
    EXPECT_EQ(page(GitHubServer(), "https://ghe.example.com/api/v3/repos/o/r/pulls/7"), QUrl());
    EXPECT_EQ(page(enterprise, "https://ghe.example.com/api/v3/repos/o/r/pulls/7"),
        QUrl(QStringLiteral("https://ghe.example.com/o/r/pull/7")));
    for (const char *address : { "https://api.github.com/repos/o/r/pulls/7",
             "https://ghe.example.com/repos/o/r/pulls/7", "http://ghe.example.com/api/v3/repos/o/r/pulls/7",
             "https://ghe.example.com:8443/api/v3/repos/o/r/pulls/7" })
        EXPECT_EQ(page(enterprise, address), QUrl()) << address;

    // An added repository is asked at once; its first answer is a baseline of its own. GitHub
    // spells it as it likes.
    watch({ QStringLiteral("o/r"), QStringLiteral("O/S") });
    poll(QList { thread("4", "comment"), thread("8", "review_requested", "o/s") });
    EXPECT_TRUE(takeTexts().isEmpty());
    poll(QList { thread("9", "review_requested", "o/s"), thread("8", "review_requested", "o/s") });
    EXPECT_EQ(takeTexts(), QStringList({ QStringLiteral("Review angefragt: Title 9") }));
    EXPECT_EQ(module->counts().newsForYou, 2);
    // A muted repository's news is passed over, a state change without its merge check.
    prefs.store->setValue(GitHubRepository::optionsKey,
        QVariantMap { { QStringLiteral("o/s"), QVariantMap { { QStringLiteral("muted"), true } } } });
    poll(QList { thread("12", "comment", "o/s"), thread("13", "state_change", "O/s"), thread("14", "comment") });
    EXPECT_EQ(takeTexts(), QStringList({ comment + QStringLiteral("14") }));
    EXPECT_TRUE(api->pullRequests.arguments.isEmpty());

    // Another account's token is asked at once, and its first answer is only recorded.
    credentials.setToken(QStringLiteral("ghp_other"));
    poll(QList { thread("10", "review_requested"), thread("11", "comment") });
    EXPECT_TRUE(takeTexts().isEmpty());

    // Without a token the one row says so and leads to the account pane.
    credentials.setToken(std::nullopt);
    const ModuleRow missing = module->overlayRows().value(0);
    EXPECT_EQ(missing.title + u'|' + missing.pane, QStringLiteral("Kein GitHub-Token hinterlegt.|githubAccount"));
}

TEST_F(GitHubNewsModuleTest, AStateChangeIsAnnouncedOnlyForAMergedPullRequestInAnswerOrder)
{
    module->start();
    poll(QList<GitHubNotification> {});
    ASSERT_TRUE(api->notifications.answer(QList { thread("1", "state_change"), thread("-", "state_change"),
        thread("3", "state_change"), thread("4", "state_change"), thread("5", "comment") }));
    // One merge check at a time, in order; the thread without an address needs none.
    EXPECT_EQ(api->pullRequests.arguments, QStringList({ pulls + u'1' }));
    EXPECT_TRUE(api->pullRequests.answer(merged));
    ASSERT_EQ(events.size(), 1);
    EXPECT_EQ(events[0].kind, GitHubNewsModule::pullRequestMerged);
    EXPECT_EQ(takeTexts(), QStringList({ QStringLiteral("PR gemergt: Title 1") }));
    EXPECT_TRUE(api->pullRequests.answer(PullRequestState {}));
    EXPECT_TRUE(api->pullRequests.answer(GitHubError::http(404)));
    EXPECT_EQ(takeTexts(), QStringList({ comment + u'5' }));
    EXPECT_EQ(api->pullRequests.arguments, QStringList({ pulls + u'1', pulls + u'3', pulls + u'4' }));
}

TEST_F(GitHubNewsModuleTest, IssuesReleasesDiscussionsAndFailedRunsHaveTheirTextsPagesAndSwitches)
{
    // The gate reads the module's kinds through a registry.
    ModuleRegistry registry(*prefs.store);
    auto kinds = std::make_unique<RowModule>(u"kinds"_s);
    kinds->kinds = module->newsKinds();
    registry.registerModule(std::move(kinds));
    NewsGate gate(bus, registry, *prefs.store, scheduler);
    QStringList interrupting;
    QObject::connect(&gate, &NewsGate::announced, [&](const ModuleEvent &event) { interrupting.append(event.text); });
    prefs.store->setValue(AppPreferences::interruptKey(GitHubNewsModule::releasePublished), false);
    module->start();
    poll(QList<GitHubNotification> {});
    poll(QList { about("1", "Issue", "assign", "o/r/issues/1"), about("2", "Issue", "mention", "o/r/issues/2"),
        about("3", "Issue", "author", "o/r/issues/3"), about("4", "Issue", "state_change", "o/r/issues/4"),
        about("5", "Release", "subscribed", "o/r/releases/90210"), about("6", "Discussion", "subscribed", ""),
        about("7", "CheckSuite", "ci_activity", "", "o/r", "CI workflow run failed for main branch"),
        about("8", "WorkflowRun", "ci_activity", "", "o/r", "CI workflow run succeeded for main branch"),
        about("9", "Issue", "assign", "o/s/issues/9"), about("10", "Issue", "assign", "o/r/pulls/10") });
    QStringList pages;
    for (const ModuleEvent &event : std::as_const(events))
        pages.append(event.link.toString());
    EXPECT_EQ(takeTexts(),
        QStringList({ u"Issue zugewiesen: Title 1"_s, u"Erwähnt in Issue: Title 2"_s, u"Kommentar zu Issue: Title 3"_s,
            u"Release veröffentlicht: Title 5"_s, u"Diskussion: Title 6"_s,
            u"Run fehlgeschlagen: CI workflow run failed for main branch"_s, u"Issue zugewiesen: Title 9"_s,
            u"Issue zugewiesen: Title 10"_s }));
    // An address of another repository, or of another form than the type's, leads nowhere.
    EXPECT_EQ(pages,
        QStringList({ u"https://github.com/o/r/issues/1"_s, u"https://github.com/o/r/issues/2"_s,
            u"https://github.com/o/r/issues/3"_s, u"https://github.com/o/r/releases"_s,
            u"https://github.com/o/r/discussions"_s, u"https://github.com/o/r/actions"_s, QString(), QString() }));
    EXPECT_TRUE(api->pullRequests.arguments.isEmpty()) << "an issue's state change needs no merge check";
    EXPECT_EQ(interrupting.size(), 7) << "a release does not interrupt once its kind is switched off";
    EXPECT_FALSE(interrupting.contains(u"Release veröffentlicht: Title 5"_s));

    // The path arrives decoded; only a repository's name makes a page of it, with an address or without.
    for (const GitHubNotification &unnamed : { about("1", "PullRequest", "comment", "o%3Fx/r/pulls/1", "o?x/r"),
             about("2", "Discussion", "comment", "", "o/$"), about("3", "Commit", "comment", "o/r/commits/3") })
        EXPECT_EQ(GitHubNewsModule::subjectPage(GitHubServer(), unnamed), QUrl())
            << unnamed.repository.fullName.toStdString();
}

TEST_F(GitHubNewsModuleTest, OpeningOrMarkingARowMarksItsThreadReadOnceAndDropsItUntilGitHubListsItChanged)
{
    UrlSink pages;
    module->start();
    poll(GitHubError::http(403)); // a token that may not read notifications says so
    EXPECT_EQ(module->errorText(), GitHubErrorText::notificationsNeedClassicToken());
    poll(QList<GitHubNotification> {});
    EXPECT_EQ(module->errorText(), std::nullopt);
    const QDateTime changedAt(QDate(2026, 12, 7), QTime(10, 0), Qt::UTC);
    QList<GitHubNotification> threads { thread("1", "comment"), thread("2", "comment"), thread("3", "comment") };
    for (GitHubNotification &unread : threads)
        unread.updatedAt = changedAt;
    poll(threads);
    const QList<ModuleRow> rows = module->overlayRows(); // threads 3, 2, 1
    const auto shown = [this] {
        QStringList titles;
        for (const ModuleRow &row : module->overlayRows())
            titles.append(row.title);
        return titles;
    };

    // Opening a row opens its page and marks its thread read; the row goes at once.
    ASSERT_EQ(rows.size(), 3);
    EXPECT_EQ(rows[0].actions.secondaryName, QStringLiteral("Als gelesen markieren"));
    rows[0].open(links, {});
    EXPECT_EQ(pages.opened, QList { QUrl(QStringLiteral("https://github.com/o/r/pull/3")) });
    EXPECT_EQ(api->markedRead.arguments, QStringList({ QStringLiteral("3") }));
    EXPECT_EQ(shown(), QStringList({ comment + u'2', comment + u'1' }));
    EXPECT_TRUE(api->markedRead.answer(205));
    // The second action opens nothing; GitHub refusing it is said once, and not asked again.
    QSignalSpy refused(module.get(), &GitHubNewsModule::markingReadRefused);
    rows[1].actions.secondary();
    EXPECT_TRUE(api->markedRead.answer(GitHubError::http(403)));
    EXPECT_EQ(refused.count(), 1);
    rows[2].open(links, {});
    rows[2].actions.secondary(); // a row that is gone already
    EXPECT_EQ(api->markedRead.arguments, QStringList({ QStringLiteral("3"), QStringLiteral("2") }));
    EXPECT_EQ(pages.opened.size(), 2);
    EXPECT_EQ(shown(), QStringList({ QStringLiteral("Keine neuen GitHub-Meldungen") }));

    // A marked thread GitHub lists again unchanged stays away; changed after the marking, it is news.
    const QList<GitHubNotification> stillUnread = threads.mid(0, 2);
    poll(stillUnread);
    poll(threads);
    poll(stillUnread);
    threads[2].updatedAt = changedAt.addSecs(60);
    poll(threads);
    EXPECT_EQ(takeTexts().mid(3), QStringList({ comment + u'3' }));
    EXPECT_EQ(shown(), QStringList({ comment + u'3' }));

    // Another server drops the messages of the one before; a row made before marks nothing there,
    // where the same thread id names another thread.
    const QList<ModuleRow> before = module->overlayRows();
    credentials.useServer(GitHubServer::fromAddress(u"https://ghe.example.com"_s).value(),
        SecretStore::ReadResult::found(u"ghp_enterprise"_s));
    EXPECT_EQ(shown(), QStringList({ QStringLiteral("Keine neuen GitHub-Meldungen") }));
    poll(QList<GitHubNotification> {});
    poll(threads.mid(2)); // the Enterprise server's own thread 3
    before[0].actions.secondary();
    EXPECT_EQ(api->markedRead.arguments.size(), 2);
    EXPECT_EQ(shown(), QStringList({ comment + u'3' }));
}

} // namespace

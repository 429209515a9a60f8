#pragma once

#include "core/DevModule.h"
#include "core/EventBus.h"
#include "core/Scheduler.h"
#include "integrations/github/GitHubApi.h"
#include "integrations/github/GitHubWatcher.h"

#include <QDateTime>
#include <QHash>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QUrl>

#include <memory>
#include <optional>

class GitHubCredentials;
#include "integrations/github/GitHubServer.h"
class PreferenceStore;

// Announces the news GitHub notifies about in the watched repositories (the preference
// "github.repositories", followed as it changes) on the event bus: every 60 s (or the longer pause
// GitHub asks for) it reads the unread notifications and publishes a short translated text for each
// thread the previous poll did not return (a review request, a review or comment, a merge; an issue
// assigned, mentioning or commented; a discussion; a published release; a failed run), none for a
// muted repository. A repository's first successful poll, and the first with a new token, only
// records what is there. It has no status line; failed polls stay silent, except a token that may
// not read notifications. The overlay lists the three newest messages, each opening its page;
// opening one, or its second action, marks its thread read on GitHub and drops the message.
class GitHubNewsModule final : public DevModule {
    Q_OBJECT
public:
    static constexpr double pollInterval = 60;
    static constexpr int keptMessages = 3;

    // The kinds of news it publishes, each with its switch.
    static inline const QString reviewRequested = QStringLiteral("github.reviewRequested");
    static inline const QString reviewOrComment = QStringLiteral("github.reviewOrComment");
    static inline const QString pullRequestMerged = QStringLiteral("github.pullRequestMerged");
    static inline const QString issue = QStringLiteral("github.issue");
    static inline const QString discussion = QStringLiteral("github.discussion");
    static inline const QString releasePublished = QStringLiteral("github.releasePublished");
    // A failed run GitHub itself notifies about: a switch of its own, as the Actions module may
    // announce the same run.
    static inline const QString runFailedReported = QStringLiteral("github.runFailedReported");

    GitHubNewsModule(PreferenceStore &preferences, EventBus &bus, std::unique_ptr<GitHubApi> client,
        const GitHubCredentials &credentials, Scheduler &scheduler, QObject *parent = nullptr);
    ~GitHubNewsModule() override;

    QString id() const override { return QStringLiteral("github.pullRequests"); }
    QString title() const override { return tr("GitHub-Meldungen"); }
    QString symbol() const override { return QStringLiteral("arrow.triangle.pull"); }
    QString description() const override
    {
        return tr("Pull Requests, Issues, Diskussionen, Releases und fehlgeschlagene Runs, über die GitHub "
                  "benachrichtigt, als Meldung.");
    }
    std::optional<ModuleStatus> compactStatus() const override { return std::nullopt; }
    // Polls at once, then every 60 s; a poll in flight is dropped first.
    void start() override;
    // Drops the poll in flight (it announces nothing more) and the next one. What the last
    // finished poll saw, and whatever was announced since, is kept, so news that arrives
    // meanwhile is announced later and nothing is announced twice.
    void stop() override;

    // Only a missing or refused token, or one that may not read notifications: other failed polls
    // are not reported.
    std::optional<QString> errorText() const override;
    // The newest announced messages with their age, or why there are none.
    QList<ModuleRow> overlayRows() const override;
    QList<ModuleNewsKind> newsKinds() const override;
    // The unread threads of the last answer that ask the user for a review or name them as assignee.
    ModuleCounts counts() const override;

    // The page on `server` a thread leads to, from its subject's address on the server's API: a pull
    // request's or an issue's own page ("…/repos/o/n/pulls/7" → "<web origin>/o/n/pull/7"), the
    // repository's releases, discussions or Actions page for those kinds (their address may be
    // missing). Empty for another subject type, an address elsewhere, of another repository or of
    // another form.
    static QUrl subjectPage(const GitHubServer &server, const GitHubNotification &notification);

    // Drops the message of thread `threadId` at once and marks the thread read on GitHub, unless
    // GitHub has refused that to the token before. Asked once: the thread stays away until GitHub
    // lists it as changed after it was marked.
    void markRead(const QString &threadId);
    // Announces that the token ends soon: news about the account, which always may interrupt.
    void announceTokenEnd(const QString &warning);

Q_SIGNALS:
    // GitHub would not let the token of `generation` mark a thread read; not asked again for it.
    void markingReadRefused(quint64 generation);

private:
    struct Message {
        QString text;
        QDateTime at;
        QUrl page;
        QString threadId;
        std::optional<QDateTime> updatedAt;
    };

    // Drops a walk still under way, then asks for the notifications.
    CancelHandle poll();
    void receive(const GitHubResult<Polled<QList<GitHubNotification>>> &result);
    // Walks the answer from m_next on, publishing in order; waits for a pull request fetch
    // where a pull request's state change needs one.
    void announceRemaining();
    // A failed fetch, like an unmerged pull request, yields no event.
    void resumeAfterFetch(const GitHubResult<PullRequestState> &state, const GitHubNotification &notification);
    void announce(const QString &text, const QString &kind, const GitHubNotification &notification);
    // The thread was marked read here and GitHub lists it unchanged since; forgets the marking
    // once it lists the thread as changed later.
    bool isMarkedRead(const GitHubNotification &notification);
    void finishPoll();
    // Ends the poll in progress well, the next one following after `pause` seconds (or as the
    // budget stretches it); `counted`: its answer cost part of the hourly limit.
    void endPoll(double pause, bool counted);
    void cancel();

    PreferenceStore &m_preferences;
    EventBus &m_bus;
    const std::unique_ptr<GitHubApi> m_client;
    const GitHubCredentials &m_credentials;
    std::optional<quint64> m_cannotMarkReadFor; // the token generation GitHub refused marking to
    QStringList m_repositories; // watched now
    QSet<QString> m_seenIDs;
    // The repositories the last successful poll asked for, in lower case (GitHub's names do not
    // heed case): only their threads can be news.
    QSet<QString> m_baseline;
    QList<Message> m_messages; // newest first
    // Threads marked read, with the time GitHub last changed each as it was known then.
    QHash<QString, std::optional<QDateTime>> m_markedRead;
    QSet<QString> m_asking; // threads of the last answer that wait for the user

    // The poll in progress.
    QStringList m_asked;
    QList<GitHubNotification> m_answer;
    qsizetype m_next = 0;
    quint64 m_pollNumber = 0; // changes when a poll is dropped, so a running walk notices
    double m_pause = pollInterval; // before the next poll, as the last answer asked
    CancelHandle m_request; // a merge check
    // One for all repositories: the notifications are one request. Failed polls are tried again
    // after the usual pause, without backing off.
    GitHubWatcher m_watcher;
};

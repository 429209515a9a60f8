#pragma once

#include "core/DevModule.h"
#include "core/EventBus.h"
#include "core/Scheduler.h"
#include "services/GitHubApi.h"

#include <QList>
#include <QSet>
#include <QString>

#include <memory>
#include <optional>

// Announces news about pull requests of one repository on the event bus: every 60 s it reads
// the unread pull-request notifications and publishes a short German text for each thread the
// previous poll did not return (a review request, a review or comment, a merge). The first
// successful poll only records what is there. It has no status line; failures stay silent.
class GitHubPullRequestsModule final : public DevModule {
    Q_OBJECT
public:
    static constexpr double pollInterval = 60;

    GitHubPullRequestsModule(QString repo, EventBus &bus, std::unique_ptr<GitHubApi> client, Scheduler &scheduler,
        QObject *parent = nullptr);
    ~GitHubPullRequestsModule() override;

    QString id() const override { return QStringLiteral("github.pullRequests"); }
    QString title() const override { return QStringLiteral("Pull Requests"); }
    QString symbol() const override { return QStringLiteral("arrow.triangle.pull"); }
    std::optional<ModuleStatus> compactStatus() const override { return std::nullopt; }
    // Polls at once, then every 60 s; a poll in flight is dropped first.
    void start() override;
    // Drops the poll in flight (it announces nothing more) and the next one. What the last
    // finished poll saw, and whatever was announced since, is kept, so news that arrives
    // meanwhile is announced later and nothing is announced twice.
    void stop() override;

private:
    void poll();
    void receive(const GitHubResult<QList<GitHubNotification>> &result);
    // Walks the answer from m_next on, publishing in order; waits for a pull request fetch
    // where a state change needs one.
    void announceRemaining();
    // A failed fetch, like an unmerged pull request, yields no event.
    void resumeAfterFetch(const GitHubResult<PullRequestState> &state, const QString &threadID, const QString &title);
    void announce(const QString &threadID, const QString &text);
    void finishPoll();
    void scheduleNextPoll();
    void cancel();

    const QString m_repo;
    EventBus &m_bus;
    const std::unique_ptr<GitHubApi> m_client;
    Scheduler &m_scheduler;
    QSet<QString> m_seenIDs;
    bool m_hasBaseline = false;

    // The poll in progress.
    QList<GitHubNotification> m_answer;
    qsizetype m_next = 0;
    quint64 m_pollNumber = 0; // changes when a poll is dropped, so a running walk notices
    GitHubRequest m_request;
    ScheduledJob m_nextPoll;
};

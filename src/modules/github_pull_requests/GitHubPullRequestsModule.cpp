#include "modules/github_pull_requests/GitHubPullRequestsModule.h"

#include <QPointer>

namespace {

// The text for reasons that need no further request; none for a state change or an unknown reason.
std::optional<QString> immediateText(const GitHubNotification &notification)
{
    const QString &reason = notification.reason;
    if (reason == u"review_requested")
        return QStringLiteral("Review angefragt: ") + notification.subject.title;
    if (reason == u"author" || reason == u"comment" || reason == u"mention" || reason == u"team_mention")
        return QStringLiteral("Neuer Review oder Kommentar: ") + notification.subject.title;
    return std::nullopt;
}

} // namespace

GitHubPullRequestsModule::GitHubPullRequestsModule(
    QString repo, EventBus &bus, std::unique_ptr<GitHubApi> client, Scheduler &scheduler, QObject *parent)
    : DevModule(parent)
    , m_repo(std::move(repo))
    , m_bus(bus)
    , m_client(std::move(client))
    , m_scheduler(scheduler)
{ }

GitHubPullRequestsModule::~GitHubPullRequestsModule()
{
    cancel();
}

void GitHubPullRequestsModule::start()
{
    cancel();
    poll();
}

void GitHubPullRequestsModule::stop()
{
    cancel();
}

void GitHubPullRequestsModule::cancel()
{
    ++m_pollNumber;
    m_answer.clear();
    m_nextPoll.cancel();
    m_request.abort();
}

void GitHubPullRequestsModule::poll()
{
    m_request = m_client->unreadPullRequestNotifications(m_repo, [guard = QPointer(this)](const auto &result) {
        if (guard)
            guard->receive(result);
    });
}

void GitHubPullRequestsModule::receive(const GitHubResult<QList<GitHubNotification>> &result)
{
    m_request = {};
    if (!result.isOk())
        return scheduleNextPoll(); // silent: the next poll tries again
    m_answer = result.value();
    m_next = 0;
    if (!m_hasBaseline)
        return finishPoll(); // the first answer is only recorded
    announceRemaining();
}

void GitHubPullRequestsModule::announceRemaining()
{
    const quint64 pollNumber = m_pollNumber;
    while (m_next < m_answer.size()) {
        const GitHubNotification &notification = m_answer[m_next];
        if (m_seenIDs.contains(notification.id)) {
            ++m_next;
            continue;
        }
        if (notification.reason == u"state_change" && notification.subject.url) {
            // Announced only once the pull request turns out to be merged; the walk resumes after.
            m_request = m_client->pullRequestState(notification.subject.url->toString(QUrl::FullyEncoded),
                [guard = QPointer(this), threadID = notification.id, title = notification.subject.title](
                    const auto &state) {
                    if (guard)
                        guard->resumeAfterFetch(state, threadID, title);
                });
            return;
        }
        ++m_next;
        if (const std::optional<QString> text = immediateText(notification))
            announce(notification.id, *text);
        if (pollNumber != m_pollNumber)
            return; // a subscriber stopped or restarted the module
    }
    finishPoll();
}

void GitHubPullRequestsModule::resumeAfterFetch(
    const GitHubResult<PullRequestState> &state, const QString &threadID, const QString &title)
{
    m_request = {};
    ++m_next;
    const quint64 pollNumber = m_pollNumber;
    if (state.isOk() && state.value().isMerged())
        announce(threadID, QStringLiteral("PR gemergt: ") + title);
    if (pollNumber == m_pollNumber)
        announceRemaining();
}

void GitHubPullRequestsModule::announce(const QString &threadID, const QString &text)
{
    // Seen from this moment, so a poll dropped halfway through never announces it twice.
    m_seenIDs.insert(threadID);
    m_bus.publish(ModuleEvent { id(), text, true });
}

void GitHubPullRequestsModule::finishPoll()
{
    QSet<QString> ids;
    ids.reserve(m_answer.size());
    for (const GitHubNotification &notification : std::as_const(m_answer))
        ids.insert(notification.id);
    m_seenIDs = std::move(ids);
    m_hasBaseline = true;
    m_answer.clear();
    scheduleNextPoll();
}

void GitHubPullRequestsModule::scheduleNextPoll()
{
    m_nextPoll = m_scheduler.schedule(pollInterval, [guard = QPointer(this)] {
        if (guard)
            guard->poll();
    });
}

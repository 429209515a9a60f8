#include "modules/github_pull_requests/GitHubPullRequestsModule.h"

#include "core/GitHubPage.h"
#include "core/prefs/AppPreferences.h"
#include "core/prefs/PreferenceStore.h"
#include "services/GitHubCredentials.h"
#include "services/GitHubRepository.h"

#include <QPointer>
#include <QRegularExpression>

namespace {

// The text for reasons that need no further request; none for a state change or an unknown reason.
std::optional<QString> immediateText(const GitHubNotification &notification)
{
    const QString &reason = notification.reason;
    if (reason == u"review_requested")
        return GitHubPullRequestsModule::tr("Review angefragt: %1").arg(notification.subject.title);
    if (reason == u"author" || reason == u"comment" || reason == u"mention" || reason == u"team_mention")
        return GitHubPullRequestsModule::tr("Neuer Review oder Kommentar: %1").arg(notification.subject.title);
    return std::nullopt;
}

ModuleRow grayRow(const QString &title)
{
    return ModuleRow { title, QString(), std::nullopt, Color::gray(), QUrl() };
}

} // namespace

GitHubPullRequestsModule::GitHubPullRequestsModule(PreferenceStore &preferences, EventBus &bus,
    std::unique_ptr<GitHubApi> client, const GitHubCredentials &credentials, Scheduler &scheduler, QObject *parent)
    : DevModule(parent)
    , m_preferences(preferences)
    , m_bus(bus)
    , m_client(std::move(client))
    , m_credentials(credentials)
    , m_repositories(GitHubRepository::watched(preferences))
    , m_token(credentials.token())
    , m_loop(scheduler, [this](PollLoop::Finished finished) { poll(std::move(finished)); })
{
    connect(&m_preferences, &PreferenceStore::valueChanged, this, [this](const QString &key) {
        if (key == AppPreferences::gitHubRepositories)
            followPreference();
    });
    connect(&m_credentials, &GitHubCredentials::changed, this, &GitHubPullRequestsModule::followCredentials);
}

void GitHubPullRequestsModule::followPreference()
{
    const QStringList wanted = GitHubRepository::watched(m_preferences);
    if (wanted == m_repositories)
        return;
    m_repositories = wanted;
    // An added repository is asked at once; its first answer is only recorded.
    if (m_loop.isRunning())
        start();
}

void GitHubPullRequestsModule::followCredentials()
{
    // A new token is tried at once rather than after the pause; GitHub's verdict on the token in
    // use changes the display only.
    const bool newToken = m_credentials.token() != m_token;
    m_token = m_credentials.token();
    Q_EMIT changed();
    if (newToken && m_loop.isRunning() && m_lastPollFailed && m_token)
        start();
}

std::optional<QString> GitHubPullRequestsModule::errorText() const
{
    if (const std::optional<QString> problem = m_credentials.problemText())
        return problem;
    if (!m_credentials.token())
        return tr("Kein GitHub-Token hinterlegt.");
    return std::nullopt;
}

QList<ModuleRow> GitHubPullRequestsModule::overlayRows() const
{
    if (const std::optional<QString> problem = errorText())
        return { grayRow(*problem) };
    if (m_messages.isEmpty())
        return { grayRow(tr("Keine neuen Pull-Request-Meldungen")) };
    QList<ModuleRow> rows;
    for (const Message &message : m_messages)
        rows.append(ModuleRow { message.text, QString(), message.at, Color::blue(), message.page });
    return rows;
}

QUrl GitHubPullRequestsModule::pullRequestPage(const QUrl &apiAddress)
{
    static const QRegularExpression pullRequest(QStringLiteral("^/repos/([^/]+)/([^/]+)/pulls/([0-9]+)$"));
    const QRegularExpressionMatch match = pullRequest.match(apiAddress.path());
    // The path arrives decoded: a repository part must be a repository's name, or an escaped "?"
    // or "#" in it would lead the page somewhere else on github.com.
    const QString repository = match.captured(1) + u'/' + match.captured(2);
    const ModuleListSetting::Normalized name = GitHubRepository::normalize(repository);
    if (!match.hasMatch() || std::get_if<QString>(&name) == nullptr || std::get<QString>(name) != repository)
        return {};
    const QUrl page(QStringLiteral("https://github.com/%1/pull/%2").arg(repository, match.captured(3)));
    return GitHubPage::isGitHubPage(page) ? page : QUrl();
}

GitHubPullRequestsModule::~GitHubPullRequestsModule()
{
    cancel();
}

void GitHubPullRequestsModule::start()
{
    cancel();
    m_loop.start();
}

void GitHubPullRequestsModule::stop()
{
    cancel();
    m_loop.stop();
}

void GitHubPullRequestsModule::cancel()
{
    ++m_pollNumber;
    m_answer.clear();
    m_request.cancel();
}

void GitHubPullRequestsModule::poll(PollLoop::Finished finished)
{
    m_finished = std::move(finished);
    m_asked = m_repositories;
    if (m_asked.isEmpty()) {
        // Nothing to ask for; the answer would be empty.
        m_baseline.clear();
        m_seenIDs.clear();
        return endPoll(pollInterval);
    }
    m_request = m_client->unreadPullRequestNotifications(m_asked, [guard = QPointer(this)](const auto &result) {
        if (guard)
            guard->receive(result);
    });
}

void GitHubPullRequestsModule::receive(const GitHubResult<Polled<QList<GitHubNotification>>> &result)
{
    m_request = {};
    m_lastPollFailed = !result.isOk();
    // GitHub's wait is shown through the credentials; the first answer after it takes it away.
    if (!result.isOk() && result.error().kind() == GitHubError::Kind::RateLimited) {
        m_waitShown = true;
        return endPoll(result.error().secondsToWait());
    }
    if (std::exchange(m_waitShown, false))
        Q_EMIT changed();
    if (!result.isOk())
        return endPoll(pollInterval); // silent: the next poll tries again
    // Never sooner than GitHub asks for.
    m_pause = std::max(pollInterval, double(result.value().pollInterval.value_or(0)));
    if (result.value().unchanged) {
        m_baseline = QSet<QString>(m_asked.cbegin(), m_asked.cend());
        return endPoll(m_pause); // nothing new
    }
    m_answer = result.value().value;
    m_next = 0;
    announceRemaining();
}

void GitHubPullRequestsModule::announceRemaining()
{
    const quint64 pollNumber = m_pollNumber;
    while (m_next < m_answer.size()) {
        const GitHubNotification &notification = m_answer[m_next];
        // Threads of a repository without a recorded answer yet were there before: not news.
        if (m_seenIDs.contains(notification.id) || !m_baseline.contains(notification.repository.fullName)) {
            ++m_next;
            continue;
        }
        if (notification.reason == u"state_change" && notification.subject.url) {
            // Announced only once the pull request turns out to be merged; the walk resumes after.
            m_request = m_client->pullRequestState(notification.subject.url->toString(QUrl::FullyEncoded),
                [guard = QPointer(this), notification](const auto &state) {
                    if (guard)
                        guard->resumeAfterFetch(state, notification);
                });
            return;
        }
        ++m_next;
        if (const std::optional<QString> text = immediateText(notification))
            announce(*text, notification);
        if (pollNumber != m_pollNumber)
            return; // a subscriber stopped or restarted the module
    }
    finishPoll();
}

void GitHubPullRequestsModule::resumeAfterFetch(
    const GitHubResult<PullRequestState> &state, const GitHubNotification &notification)
{
    m_request = {};
    ++m_next;
    const quint64 pollNumber = m_pollNumber;
    if (state.isOk() && state.value().isMerged())
        announce(tr("PR gemergt: %1").arg(notification.subject.title), notification);
    if (pollNumber == m_pollNumber)
        announceRemaining();
}

void GitHubPullRequestsModule::announce(const QString &text, const GitHubNotification &notification)
{
    // Seen from this moment, so a poll dropped halfway through never announces it twice.
    m_seenIDs.insert(notification.id);
    const QUrl page = notification.subject.url ? pullRequestPage(*notification.subject.url) : QUrl();
    m_messages.prepend(Message { text, QDateTime::currentDateTimeUtc(), page });
    if (m_messages.size() > keptMessages)
        m_messages.resize(keptMessages);
    Q_EMIT changed();
    m_bus.publish(ModuleEvent { id(), text, true });
}

void GitHubPullRequestsModule::finishPoll()
{
    QSet<QString> ids;
    ids.reserve(m_answer.size());
    for (const GitHubNotification &notification : std::as_const(m_answer))
        ids.insert(notification.id);
    m_seenIDs = std::move(ids);
    m_baseline = QSet<QString>(m_asked.cbegin(), m_asked.cend());
    m_answer.clear();
    endPoll(m_pause);
}

void GitHubPullRequestsModule::endPoll(double pause)
{
    if (const PollLoop::Finished finished = std::exchange(m_finished, {}))
        finished(pause);
}

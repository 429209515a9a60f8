#include "modules/github_news/GitHubNewsModule.h"

#include "core/prefs/PreferenceStore.h"
#include "integrations/github/GitHubCredentials.h"
#include "integrations/github/GitHubErrorText.h"
#include "integrations/github/GitHubLogging.h"
#include "integrations/github/GitHubRepository.h"
#include "integrations/github/GitHubTokenState.h"

#include <QPointer>
#include <QRegularExpression>

#include <utility>

namespace {

struct News {
    QString text;
    QString kind;
};

// GitHub names a run's outcome in the thread's title, in English ("CI workflow run failed for main
// branch"); a run that succeeded or was cancelled is no news.
bool saysFailed(const QString &title)
{
    static const QRegularExpression failed(QStringLiteral("\\bfailed\\b"), QRegularExpression::CaseInsensitiveOption);
    return failed.match(title).hasMatch();
}

// The news for threads that need no further request, by subject type and reason; none for a pull
// request's state change (its merge check decides) or for what is not announced.
std::optional<News> immediateNews(const GitHubNotification &notification)
{
    const QString &type = notification.subject.type;
    const QString &reason = notification.reason;
    const QString &title = notification.subject.title;
    const bool commented = reason == u"author" || reason == u"comment";
    const bool mentioned = reason == u"mention" || reason == u"team_mention";
    if (type == u"PullRequest") {
        if (reason == u"review_requested")
            return News { GitHubNewsModule::tr("Review angefragt: %1").arg(title), GitHubNewsModule::reviewRequested };
        if (commented || mentioned)
            return News { GitHubNewsModule::tr("Neuer Review oder Kommentar: %1").arg(title),
                GitHubNewsModule::reviewOrComment };
    } else if (type == u"Issue") {
        if (reason == u"assign")
            return News { GitHubNewsModule::tr("Issue zugewiesen: %1").arg(title), GitHubNewsModule::issue };
        if (mentioned)
            return News { GitHubNewsModule::tr("Erwähnt in Issue: %1").arg(title), GitHubNewsModule::issue };
        if (commented)
            return News { GitHubNewsModule::tr("Kommentar zu Issue: %1").arg(title), GitHubNewsModule::issue };
    } else if (type == u"Release") {
        return News { GitHubNewsModule::tr("Release veröffentlicht: %1").arg(title),
            GitHubNewsModule::releasePublished };
    } else if (type == u"Discussion") {
        return News { GitHubNewsModule::tr("Diskussion: %1").arg(title), GitHubNewsModule::discussion };
    } else if ((type == u"CheckSuite" || type == u"WorkflowRun") && saysFailed(title)) {
        return News { GitHubNewsModule::tr("Run fehlgeschlagen: %1").arg(title), GitHubNewsModule::runFailedReported };
    }
    return std::nullopt;
}

QSet<QString> lowerCase(const QStringList &repositories)
{
    QSet<QString> names;
    for (const QString &repository : repositories)
        names.insert(repository.toLower());
    return names;
}

ModuleRow grayRow(const QString &title)
{
    return ModuleRow { title, QString(), std::nullopt, ModuleStatus::Severity::Idle, QUrl() };
}

} // namespace

GitHubNewsModule::GitHubNewsModule(PreferenceStore &preferences, EventBus &bus, std::unique_ptr<GitHubApi> client,
    const GitHubCredentials &credentials, Scheduler &scheduler, QObject *parent)
    : DevModule(parent)
    , m_preferences(preferences)
    , m_bus(bus)
    , m_client(std::move(client))
    , m_credentials(credentials)
    , m_repositories(GitHubRepository::watched(preferences))
    , m_watcher(
          QStringLiteral("notifications"), scheduler, credentials, [this] { return poll(); },
          [](int) { return pollInterval; })
{
    GitHubRepository::follow(m_preferences, this, [this](const QStringList &wanted) {
        m_repositories = wanted;
        // An added repository is asked at once; its first answer is only recorded.
        if (m_watcher.isRunning())
            start();
    });
    // Another account's token starts afresh: its first answer is only recorded, as at launch.
    m_watcher.forgetOnNewToken([this] {
        cancel();
        m_seenIDs.clear();
        m_baseline.clear();
        m_markedRead.clear();
        m_messages.clear(); // their threads are the old server's
        m_asking.clear();
    });
    // A missing or refused token is what the module shows.
    connect(&m_credentials, &GitHubCredentials::changed, this, &DevModule::changed);
}

std::optional<QString> GitHubNewsModule::errorText() const
{
    if (const std::optional<QString> problem = GitHubTokenState::problemText(m_credentials))
        return problem;
    if (!m_credentials.token())
        return GitHubErrorText::of(GitHubError::missingToken(), GitHubErrorText::Asked::Notifications);
    if (const std::optional<GitHubError> &failure = m_watcher.error()) {
        if (QString text = GitHubErrorText::of(*failure, GitHubErrorText::Asked::Notifications); !text.isEmpty())
            return text;
    }
    return std::nullopt;
}

QList<ModuleRow> GitHubNewsModule::overlayRows() const
{
    if (const std::optional<QString> problem = errorText()) {
        // A missing or refused token is mended in the account pane.
        ModuleRow row = grayRow(*problem);
        row.pane = GitHubTokenState::resolvingPane(m_credentials);
        return { row };
    }
    if (m_messages.isEmpty())
        return { grayRow(tr("Keine neuen GitHub-Meldungen")) };
    QList<ModuleRow> rows;
    // The rows act on the module later, when the user picks one, never while they are read; a row
    // made under another token or server marks nothing (its thread id may name another thread).
    const QPointer guard(const_cast<GitHubNewsModule *>(this));
    for (const Message &message : m_messages) {
        const auto markRead = [guard, id = message.threadId, generation = m_credentials.tokenGeneration()] {
            if (guard && guard->m_credentials.tokenGeneration() == generation)
                guard->markRead(id);
        };
        rows.append(ModuleRow { message.text, QString(), message.at, ModuleStatus::Severity::Notice, message.page,
            QString(), ModuleRowActions { markRead, tr("Als gelesen markieren"), markRead } });
    }
    return rows;
}

void GitHubNewsModule::markRead(const QString &threadId)
{
    const auto message
        = std::ranges::find_if(m_messages, [&](const Message &shown) { return shown.threadId == threadId; });
    if (message == m_messages.end())
        return; // gone already
    m_markedRead.insert(threadId, message->updatedAt);
    m_messages.removeIf([&](const Message &shown) { return shown.threadId == threadId; });
    m_asking.remove(threadId);
    Q_EMIT changed();
    // A token GitHub would not let mark threads is not asked again; the message goes all the same.
    const quint64 generation = m_credentials.tokenGeneration();
    if (m_cannotMarkReadFor == generation)
        return;
    m_client->markThreadRead(threadId, [guard = QPointer(this), generation](const GitHubResult<int> &result) {
        if (result.isOk() || !guard)
            return;
        const GitHubError &error = result.error();
        qCDebug(lcGitHub).noquote() << "thread not marked read:" << error.description();
        if (error.kind() == GitHubError::Kind::Http && (error.statusCode() == 403 || error.statusCode() == 404)
            && guard->m_cannotMarkReadFor != generation) {
            guard->m_cannotMarkReadFor = generation;
            Q_EMIT guard->markingReadRefused(generation);
        }
    });
}

bool GitHubNewsModule::isMarkedRead(const GitHubNotification &notification)
{
    const auto marked = m_markedRead.constFind(notification.id);
    if (marked == m_markedRead.cend())
        return false;
    if (notification.updatedAt && marked->has_value() && *notification.updatedAt > **marked) {
        m_markedRead.erase(marked);
        return false;
    }
    return true;
}

QUrl GitHubNewsModule::subjectPage(const GitHubServer &server, const GitHubNotification &notification)
{
    const GitHubNotification::Subject &subject = notification.subject;
    QString repository = notification.repository.fullName;
    QString rest; // the address's path after the repository
    if (subject.url) {
        static const QRegularExpression address(QStringLiteral("^repos/([^/]+/[^/]+)/(.+)$"));
        const QRegularExpressionMatch match = address.match(server.apiPath(*subject.url).value_or(QString()));
        // Only an address on the server's API, within the thread's own repository, leads anywhere.
        if (!match.hasMatch() || match.captured(1).compare(repository, Qt::CaseInsensitive) != 0)
            return {};
        repository = match.captured(1);
        rest = match.captured(2);
    }
    // A pull request and an issue have pages of their own; the other kinds lead to the
    // repository's list of them (a release's API id is not its tag), with or without an address.
    static const QRegularExpression pullRequest(QStringLiteral("^pulls/([0-9]+)$"));
    static const QRegularExpression issue(QStringLiteral("^issues/([0-9]+)$"));
    QString page;
    if (subject.type == u"PullRequest" || subject.type == u"Issue") {
        const bool isPull = subject.type == u"PullRequest";
        const QRegularExpressionMatch number = (isPull ? pullRequest : issue).match(rest);
        if (!number.hasMatch())
            return {};
        page = (isPull ? QStringLiteral("pull/") : QStringLiteral("issues/")) + number.captured(1);
    } else if (subject.type == u"Release") {
        page = QStringLiteral("releases");
    } else if (subject.type == u"Discussion") {
        page = QStringLiteral("discussions");
    } else if (subject.type == u"CheckSuite" || subject.type == u"WorkflowRun") {
        page = QStringLiteral("actions");
    } else {
        return {};
    }
    // The path arrives decoded: a repository part must be a repository's name, or an escaped "?"
    // or "#" in it would lead the page somewhere else on the server.
    if (!GitHubRepository::isName(repository))
        return {};
    const QUrl url = server.webOrigin().resolved(QUrl(repository + u'/' + page));
    return server.isWebPage(url) ? url : QUrl();
}

GitHubNewsModule::~GitHubNewsModule()
{
    cancel();
}

void GitHubNewsModule::start()
{
    m_watcher.start();
}

void GitHubNewsModule::stop()
{
    cancel();
    m_watcher.stop();
}

void GitHubNewsModule::cancel()
{
    ++m_pollNumber;
    m_answer.clear();
    m_request.cancel();
}

CancelHandle GitHubNewsModule::poll()
{
    cancel();
    m_asked = m_repositories;
    if (m_asked.isEmpty()) {
        // Nothing to ask for; the answer would be empty.
        m_baseline.clear();
        m_seenIDs.clear();
        endPoll(pollInterval, false);
        return {};
    }
    return m_client->unreadNotifications(m_asked, [guard = QPointer(this)](const auto &result) {
        if (guard)
            guard->receive(result);
    });
}

void GitHubNewsModule::receive(const GitHubResult<Polled<QList<GitHubNotification>>> &result)
{
    if (!result.isOk()) {
        // Silent: the next poll tries again. Only the end of GitHub's wait changes what is shown.
        if (m_watcher.failed(result.error()))
            Q_EMIT changed();
        return;
    }
    // Never sooner than GitHub asks for.
    m_pause = std::max(pollInterval, double(result.value().pollInterval.value_or(0)));
    if (result.value().unchanged) {
        m_baseline = lowerCase(m_asked);
        return endPoll(m_pause, false); // nothing new, and free
    }
    m_answer = result.value().value;
    m_next = 0;
    announceRemaining();
}

void GitHubNewsModule::announceRemaining()
{
    const quint64 pollNumber = m_pollNumber;
    while (m_next < m_answer.size()) {
        const GitHubNotification &notification = m_answer[m_next];
        // Threads of a repository without a recorded answer yet were there before: not news. So are
        // threads marked read here that GitHub lists without a change since. A muted repository's
        // threads are passed over, without the merge check they would need.
        if (m_seenIDs.contains(notification.id) || !m_baseline.contains(notification.repository.fullName.toLower())
            || isMarkedRead(notification)
            || GitHubRepository::isMuted(m_preferences, notification.repository.fullName)) {
            ++m_next;
            continue;
        }
        if (notification.subject.type == u"PullRequest" && notification.reason == u"state_change"
            && notification.subject.url) {
            // Announced only once the pull request turns out to be merged; the walk resumes after.
            m_request = m_client->pullRequestState(notification.subject.url->toString(QUrl::FullyEncoded),
                [guard = QPointer(this), notification](const auto &state) {
                    if (guard)
                        guard->resumeAfterFetch(state, notification);
                });
            return;
        }
        ++m_next;
        if (const std::optional<News> news = immediateNews(notification))
            announce(news->text, news->kind, notification);
        if (pollNumber != m_pollNumber)
            return; // a subscriber stopped or restarted the module
    }
    finishPoll();
}

void GitHubNewsModule::resumeAfterFetch(
    const GitHubResult<PullRequestState> &state, const GitHubNotification &notification)
{
    m_request = {};
    ++m_next;
    const quint64 pollNumber = m_pollNumber;
    if (state.isOk() && state.value().isMerged())
        announce(tr("PR gemergt: %1").arg(notification.subject.title), pullRequestMerged, notification);
    if (pollNumber == m_pollNumber)
        announceRemaining();
}

void GitHubNewsModule::announce(const QString &text, const QString &kind, const GitHubNotification &notification)
{
    // Seen from this moment, so a poll dropped halfway through never announces it twice.
    m_seenIDs.insert(notification.id);
    const QUrl page = subjectPage(m_credentials.server(), notification);
    m_messages.prepend(
        Message { text, QDateTime::currentDateTimeUtc(), page, notification.id, notification.updatedAt });
    if (m_messages.size() > keptMessages)
        m_messages.resize(keptMessages);
    Q_EMIT changed();
    m_bus.publish(ModuleEvent { id(), text, ModuleStatus::Severity::Notice, kind, page });
}

void GitHubNewsModule::announceTokenEnd(const QString &warning)
{
    m_bus.publish(ModuleEvent { id(), warning, ModuleStatus::Severity::Active });
}

ModuleCounts GitHubNewsModule::counts() const
{
    ModuleCounts counts;
    counts.newsForYou = int(m_asking.size());
    return counts;
}

QList<ModuleNewsKind> GitHubNewsModule::newsKinds() const
{
    return { { reviewRequested, tr("Review angefragt") }, { reviewOrComment, tr("Reviews und Kommentare") },
        { pullRequestMerged, tr("Pull Request gemergt") }, { issue, tr("Issues") }, { discussion, tr("Diskussionen") },
        { releasePublished, tr("Release veröffentlicht") },
        { runFailedReported, tr("Run fehlgeschlagen (GitHub-Meldung)") } };
}

void GitHubNewsModule::finishPoll()
{
    QSet<QString> ids;
    ids.reserve(m_answer.size());
    for (const GitHubNotification &notification : std::as_const(m_answer))
        ids.insert(notification.id);
    m_seenIDs = std::move(ids);
    m_baseline = lowerCase(m_asked);
    // Unread threads that wait for the user, counted whether or not they were news.
    QSet<QString> asking;
    for (const GitHubNotification &notification : std::as_const(m_answer)) {
        if ((notification.reason == u"review_requested" || notification.reason == u"assign")
            && !m_markedRead.contains(notification.id)
            && !GitHubRepository::isMuted(m_preferences, notification.repository.fullName))
            asking.insert(notification.id);
    }
    m_answer.clear();
    if (std::exchange(m_asking, std::move(asking)) != m_asking)
        Q_EMIT changed();
    endPoll(m_pause, true);
}

void GitHubNewsModule::endPoll(double pause, bool counted)
{
    // The first answer after GitHub's wait takes the wait's line away.
    if (m_watcher.succeeded(pause, counted))
        Q_EMIT changed();
}

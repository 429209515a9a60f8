#include "integrations/github/GitHubClient.h"

#include "core/PlainText.h"
#include "integrations/github/GitHubCredentials.h"
#include "integrations/github/GitHubRepository.h"

#include <QUrl>

#include <algorithm>

GitHubClient::GitHubClient(
    QNetworkAccessManager &network, GitHubCredentials &credentials, GitHubTransport::Endpoint endpoint)
    : m_transport(network, std::move(endpoint), credentials)
    , m_polls(&credentials)
{ }

GitHubClient::GitHubClient(QNetworkAccessManager &network, GitHubTransport::Endpoint endpoint)
    : m_transport(network, std::move(endpoint))
{ }

CancelHandle GitHubClient::getBytes(const QString &path, BytesCallback done) const
{
    return m_transport.get(path, [done = std::move(done)](const GitHubResult<GitHubResponse> &response) {
        if (!response.isOk())
            return done(response.error());
        done(response.value().body);
    });
}

std::optional<int> GitHubClient::pollIntervalOf(const GitHubResponse &answer)
{
    const std::optional<qint64> seconds = answer.number("X-Poll-Interval");
    if (!seconds)
        return std::nullopt;
    return int(std::clamp<qint64>(*seconds, 60, 3600));
}

QString GitHubClient::workflowRunsPath(const QString &repo, const RunsFilter &filter, int perPage)
{
    QString path = QStringLiteral("repos/") + repo + QStringLiteral("/actions/");
    if (!filter.workflowFile.isEmpty())
        path += QStringLiteral("workflows/") + QString::fromLatin1(QUrl::toPercentEncoding(filter.workflowFile)) + u'/';
    path += QStringLiteral("runs?per_page=") + QString::number(perPage);
    // A branch may hold "/", "&", "#" or "+": each is escaped to stay the branch's.
    if (!filter.branch.isEmpty())
        path += QStringLiteral("&branch=") + QString::fromLatin1(QUrl::toPercentEncoding(filter.branch));
    return path;
}

CancelHandle GitHubClient::workflowRuns(
    const QString &repo, const RunsFilter &filter, int perPage, Callback<Polled<QList<WorkflowRun>>> done) const
{
    return poll<QList<WorkflowRun>>(
        workflowRunsPath(repo, filter, perPage), QString(),
        [](const QByteArray &body) { return WorkflowRunsResponse::decode(body).workflowRuns; }, std::move(done));
}

CancelHandle GitHubClient::unreadNotifications(
    const QStringList &repos, Callback<Polled<QList<GitHubNotification>>> done) const
{
    const auto decode = [repos](const QByteArray &body) {
        QList<GitHubNotification> kept;
        for (GitHubNotification &notification : GitHubNotification::decodeList(body)) {
            if (repos.contains(notification.repository.fullName, Qt::CaseInsensitive))
                kept.append(std::move(notification));
        }
        return kept;
    };
    // The kept answer is filtered for these repositories: for another list it does not stand.
    return poll<QList<GitHubNotification>>(QStringLiteral("notifications"), repos.join(u','), decode, std::move(done));
}

CancelHandle GitHubClient::pullRequestState(const QString &address, Callback<PullRequestState> done) const
{
    return get<PullRequestState>(address, &PullRequestState::decode, std::move(done));
}

GitHubUser GitHubClient::decodeUser(const GitHubResponse &answer)
{
    GitHubUser user;
    user.login = JsonReader::decodeObject(answer.body, [](const JsonReader &json) { return json.string("login"); });
    // A classic token names its scopes ("repo, notifications"); a fine-grained one sends no
    // such header at all. The header's words are cleaned as the JSON reader cleans the login.
    if (const std::optional<QByteArray> scopes = answer.header("X-OAuth-Scopes")) {
        QStringList names;
        for (const QByteArray &scope : scopes->split(',')) {
            // Cleaned first: a scope of nothing but dropped characters is none.
            const QString name = PlainText::clean(QString::fromUtf8(scope)).trimmed();
            if (!name.isEmpty())
                names.append(name);
        }
        user.scopes = names;
    }
    return user;
}

QStringList GitHubClient::decodeRepositoryNames(const QByteArray &body)
{
    QStringList names;
    for (const QString &name :
        JsonReader::decodeArray(body, [](const JsonReader &json) { return json.string("full_name"); })) {
        if (GitHubRepository::isName(name))
            names.append(name);
    }
    return names;
}

CancelHandle GitHubClient::recentRepositories(int count, Callback<QStringList> done) const
{
    return get<QStringList>(QStringLiteral("user/repos?sort=pushed&per_page=") + QString::number(count),
        &decodeRepositoryNames, std::move(done));
}

CancelHandle GitHubClient::currentUser(Callback<GitHubUser> done) const
{
    return m_transport.get(
        QStringLiteral("user"), [done = std::move(done)](const GitHubResult<GitHubResponse> &answer) {
            if (!answer.isOk())
                return done(answer.error());
            done(ApiPolls::decoded<GitHubUser>(&decodeUser, answer.value()));
        });
}

namespace {

// For a request whose answer says nothing more than its status (a command GitHub took).
GitHubTransport::Done statusTo(GitHubApi::Callback<int> done)
{
    return [done = std::move(done)](const GitHubResult<GitHubResponse> &answer) {
        if (!answer.isOk())
            return done(answer.error());
        done(answer.value().status);
    };
}

} // namespace

CancelHandle GitHubClient::markThreadRead(const QString &threadId, Callback<int> done) const
{
    // GitHub's thread ids are digits: anything else ("..", "1/2") could reach another address.
    const bool digits = !threadId.isEmpty()
        && std::all_of(threadId.cbegin(), threadId.cend(), [](QChar c) { return c >= u'0' && c <= u'9'; });
    if (!digits)
        return m_transport.refuse("PATCH", statusTo(std::move(done)));
    return m_transport.patch(QStringLiteral("notifications/threads/") + threadId, statusTo(std::move(done)));
}

CancelHandle GitHubClient::runCommand(const QString &repo, qint64 runId, RunCommand command, Callback<int> done) const
{
    // GitHub numbers runs from one.
    if (runId <= 0)
        return m_transport.refuse("POST", statusTo(std::move(done)));
    const QString path = QStringLiteral("repos/") + repo + QStringLiteral("/actions/runs/") + QString::number(runId)
        + (command == RunCommand::Cancel ? QStringLiteral("/cancel") : QStringLiteral("/rerun-failed-jobs"));
    return m_transport.post(path, statusTo(std::move(done)));
}

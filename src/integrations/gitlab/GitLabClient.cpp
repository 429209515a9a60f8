#include "integrations/gitlab/GitLabClient.h"

#include "integrations/gitlab/GitLabCredentials.h"
#include "integrations/gitlab/GitLabLogging.h"
#include "integrations/gitlab/GitLabProjects.h"

#include <QUrl>

namespace {

ApiTransport::Dialect gitLabDialect()
{
    return { { { "Accept", "application/json" } }, "PRIVATE-TOKEN", {}, { 429 }, &lcGitLab };
}

// A request whose answer says nothing more than its status (a command GitLab took).
ApiTransport::Done statusTo(GitLabClient::Callback<int> done)
{
    return [done = std::move(done)](const ApiResult<ApiResponse> &answer) {
        if (!answer.isOk())
            return done(answer.error());
        done(answer.value().status);
    };
}

QString encoded(const QString &text)
{
    return QString::fromLatin1(QUrl::toPercentEncoding(text));
}

} // namespace

ApiTransport::Endpoint GitLabClient::defaultEndpoint()
{
    ApiTransport::Endpoint endpoint;
    endpoint.apiRoot = GitLabServer().apiRoot();
    return endpoint;
}

GitLabClient::GitLabClient(
    QNetworkAccessManager &network, GitLabCredentials &credentials, ApiTransport::Endpoint endpoint)
    : m_transport(network, std::move(endpoint), gitLabDialect(), credentials)
    , m_polls(&credentials)
{ }

CancelHandle GitLabClient::project(const QString &path, Callback<GitLabProject> done) const
{
    // Only a path as stored goes into a request: its slashes are escaped, so it stays one part.
    if (!GitLabProjects::isPath(path))
        return m_transport.refuse("GET", [done = std::move(done)](const auto &answer) { done(answer.error()); });
    return ApiPolls::get<GitLabProject>(
        m_transport, QStringLiteral("projects/") + encoded(path), &GitLabProject::decode, std::move(done));
}

CancelHandle GitLabClient::pipelines(
    qint64 projectId, const QString &ref, int perPage, Callback<Polled<QList<GitLabPipeline>>> done) const
{
    QString path = QStringLiteral("projects/%1/pipelines?per_page=%2").arg(projectId).arg(perPage);
    // A branch may hold "/", "&", "#" or "+": each is escaped to stay the branch's.
    if (!ref.isEmpty())
        path += QStringLiteral("&ref=") + encoded(ref);
    return m_polls.poll<QList<GitLabPipeline>>(
        m_transport, path, QString(), &GitLabPipeline::decodeList, std::move(done));
}

CancelHandle GitLabClient::pipelineCommand(
    qint64 projectId, qint64 pipelineId, PipelineCommand command, Callback<int> done) const
{
    // GitLab numbers projects and pipelines from one.
    if (projectId <= 0 || pipelineId <= 0)
        return m_transport.refuse("POST", statusTo(std::move(done)));
    const QString path = QStringLiteral("projects/%1/pipelines/%2/").arg(projectId).arg(pipelineId)
        + (command == PipelineCommand::Cancel ? QStringLiteral("cancel") : QStringLiteral("retry"));
    return m_transport.post(path, statusTo(std::move(done)));
}

CancelHandle GitLabClient::todos(Callback<Polled<QList<GitLabTodo>>> done) const
{
    return m_polls.poll<QList<GitLabTodo>>(m_transport, QStringLiteral("todos?state=pending&per_page=50"), QString(),
        &GitLabTodo::decodeList, std::move(done));
}

CancelHandle GitLabClient::markTodoDone(qint64 todoId, Callback<int> done) const
{
    if (todoId <= 0)
        return m_transport.refuse("POST", statusTo(std::move(done)));
    return m_transport.post(QStringLiteral("todos/%1/mark_as_done").arg(todoId), statusTo(std::move(done)));
}

QString GitLabClient::decodeUser(const QByteArray &body)
{
    return JsonReader::decodeObject(body, [](const JsonReader &json) { return json.string("username"); });
}

CancelHandle GitLabClient::currentUser(Callback<QString> done) const
{
    return ApiPolls::get<QString>(m_transport, QStringLiteral("user"), &decodeUser, std::move(done));
}

std::optional<QDateTime> GitLabClient::decodeTokenEnd(const QByteArray &body)
{
    return JsonReader::decodeObject(body, [](const JsonReader &json) -> std::optional<QDateTime> {
        const std::optional<QString> day = json.optionalString("expires_at");
        if (!day)
            return std::nullopt;
        const QDate date = QDate::fromString(*day, Qt::ISODate);
        if (!date.isValid())
            throw JsonDecodeError(QStringLiteral("expires_at"), QStringLiteral("expected a date"));
        return QDateTime(date, QTime(0, 0), Qt::UTC);
    });
}

CancelHandle GitLabClient::tokenEnd(Callback<std::optional<QDateTime>> done) const
{
    return ApiPolls::get<std::optional<QDateTime>>(
        m_transport, QStringLiteral("personal_access_tokens/self"), &decodeTokenEnd, std::move(done));
}

CancelHandle GitLabClient::recentProjects(int count, Callback<QStringList> done) const
{
    const auto decode = [](const QByteArray &body) {
        QStringList paths;
        for (const QString &path : GitLabProject::decodePaths(body)) {
            if (GitLabProjects::isPath(path))
                paths.append(path);
        }
        return paths;
    };
    return ApiPolls::get<QStringList>(m_transport,
        QStringLiteral("projects?membership=true&simple=true&order_by=last_activity_at&per_page=")
            + QString::number(count),
        decode, std::move(done));
}

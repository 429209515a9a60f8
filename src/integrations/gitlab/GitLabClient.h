#pragma once

#include "integrations/gitlab/GitLabRecords.h"
#include "services/ApiPolls.h"
#include "services/ApiTransport.h"

#include <QStringList>

class GitLabCredentials;

// The REST client (API v4) the GitLab modules and the account pane talk through. The token goes in
// the PRIVATE-TOKEN header to the API of the credentials' server alone, over HTTPS; answers 429
// with Retry-After or a spent RateLimit-* are waited out, every answer counts towards the account's
// budget, and polls are conditional where GitLab sends validators (ApiPolls). Callbacks run later
// on the GUI thread, never inside the call, and not at all once the returned request is aborted.
// Copies share one configuration and the kept answers.
class GitLabClient final {
public:
    template<typename T> using Callback = std::function<void(const ApiResult<T> &)>;

    // What the user may ask of a pipeline.
    enum class PipelineCommand {
        Retry, // a failed pipeline's failed jobs run again
        Cancel, // a pipeline that has not finished stops
    };

    // gitlab.com's API unless tests point it at a local server. Another server's API is its own.
    static ApiTransport::Endpoint defaultEndpoint();

    // `credentials` must outlive the client's requests; once it is gone no token is sent.
    GitLabClient(QNetworkAccessManager &network, GitLabCredentials &credentials,
        ApiTransport::Endpoint endpoint = defaultEndpoint());

    // The project at `path` ("group/subgroup/project").
    CancelHandle project(const QString &path, Callback<GitLabProject> done) const;
    // The newest `perPage` pipelines of project `projectId` on `ref` (every branch when empty).
    CancelHandle pipelines(
        qint64 projectId, const QString &ref, int perPage, Callback<Polled<QList<GitLabPipeline>>> done) const;
    // POST …/pipelines/:id/retry or …/cancel; `done` gets GitLab's status once it took it.
    CancelHandle pipelineCommand(
        qint64 projectId, qint64 pipelineId, PipelineCommand command, Callback<int> done) const;
    // The user's pending to-dos, newest first.
    CancelHandle todos(Callback<Polled<QList<GitLabTodo>>> done) const;
    // POST /todos/:id/mark_as_done.
    CancelHandle markTodoDone(qint64 todoId, Callback<int> done) const;
    // The user name the token belongs to (GET /user).
    CancelHandle currentUser(Callback<QString> done) const;
    // The moment the token stops working (GET /personal_access_tokens/self); none for a token
    // without an end.
    CancelHandle tokenEnd(Callback<std::optional<QDateTime>> done) const;
    // The paths of the `count` projects the user worked in last, newest first.
    CancelHandle recentProjects(int count, Callback<QStringList> done) const;

    // The user name in an answer to GET /user. Throws JsonDecodeError on a body of the wrong shape.
    static QString decodeUser(const QByteArray &body);
    // The end in an answer to GET /personal_access_tokens/self: GitLab names the day ("expires_at",
    // "2027-01-12" or null), and the token stops working as that day begins in UTC. Throws
    // JsonDecodeError on a body of the wrong shape.
    static std::optional<QDateTime> decodeTokenEnd(const QByteArray &body);

    std::optional<QString> token() const { return m_transport.token(); }

private:
    ApiTransport m_transport;
    ApiPolls m_polls;
};

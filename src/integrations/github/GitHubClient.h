#pragma once

#include "integrations/github/GitHubApi.h"
#include "integrations/github/GitHubTransport.h"
#include "services/JsonReader.h"

#include <optional>

// The REST client both GitHub modules, the account pane and the update check talk through: GET
// requests (and the PATCH that marks a thread read, the POSTs that re-run or cancel a run) on the
// shared transport, bodies decoded strictly, polls conditional (ApiPolls). Copies share one
// configuration and the kept answers.
class GitHubClient final : public GitHubApi {
public:
    // Authenticated; `credentials` must outlive the client's requests, once it is gone no token is
    // sent.
    GitHubClient(
        QNetworkAccessManager &network, GitHubCredentials &credentials, GitHubTransport::Endpoint endpoint = {});
    // Anonymous: never sends a token.
    GitHubClient(QNetworkAccessManager &network, GitHubTransport::Endpoint endpoint);

    using BytesCallback = std::function<void(const GitHubResult<QByteArray> &)>;

    // GET `path` (relative to the API root or an absolute address on its origin) for the body.
    CancelHandle getBytes(const QString &path, BytesCallback done) const;

    // GET `path` and decode the body with `decode` (a function from bytes to a record that throws
    // JsonDecodeError on a body of the wrong shape).
    template<typename T, typename Decode> CancelHandle get(const QString &path, Decode decode, Callback<T> done) const
    {
        return ApiPolls::get<T>(m_transport.api(), path, decode, std::move(done));
    }

    // GET `path` as a poll, conditional on the previous answer to it (ApiPolls::poll), with the
    // pause GitHub asks for.
    template<typename T, typename Decode>
    CancelHandle poll(const QString &path, const QString &variant, Decode decode, Callback<Polled<T>> done) const
    {
        return m_polls.poll<T>(m_transport.api(), path, variant, decode, std::move(done), &pollIntervalOf);
    }

    CancelHandle workflowRuns(const QString &repo, const RunsFilter &filter, int perPage,
        Callback<Polled<QList<WorkflowRun>>> done) const override;
    // The request for those runs, relative to the API root: one workflow's runs through its own
    // list, a branch as the query's `branch`.
    static QString workflowRunsPath(const QString &repo, const RunsFilter &filter, int perPage);
    CancelHandle unreadNotifications(
        const QStringList &repos, Callback<Polled<QList<GitHubNotification>>> done) const override;
    CancelHandle pullRequestState(const QString &address, Callback<PullRequestState> done) const override;
    CancelHandle currentUser(Callback<GitHubUser> done) const override;
    CancelHandle recentRepositories(int count, Callback<QStringList> done) const override;
    CancelHandle markThreadRead(const QString &threadId, Callback<int> done) const override;
    // POST …/actions/runs/{id}/rerun-failed-jobs or …/cancel.
    CancelHandle runCommand(const QString &repo, qint64 runId, RunCommand command, Callback<int> done) const override;

    // The account in an answer to GET /user, with the scopes of its X-OAuth-Scopes header.
    // Throws JsonDecodeError on a body of the wrong shape.
    static GitHubUser decodeUser(const GitHubResponse &answer);
    // The owner/name of each repository in a list of repositories, leaving out any that is not a
    // repository's name. Throws JsonDecodeError on a body of the wrong shape.
    static QStringList decodeRepositoryNames(const QByteArray &body);

private:
    // The pause GitHub asks for before the next poll (X-Poll-Interval), taken within a minute and an
    // hour; none when the answer names none.
    static std::optional<int> pollIntervalOf(const GitHubResponse &answer);

    GitHubTransport m_transport;
    ApiPolls m_polls;
};

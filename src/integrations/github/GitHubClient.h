#pragma once

#include "integrations/github/GitHubApi.h"
#include "integrations/github/GitHubTransport.h"
#include "services/JsonReader.h"

#include <QHash>
#include <QObject>

#include <any>
#include <memory>
#include <optional>

// The REST client both GitHub modules, the account pane and the update check talk through: GET
// requests (and the PATCH that marks a thread read, the POSTs that re-run or cancel a run) on the
// shared transport, bodies decoded strictly.
//
// Polls are conditional: each sends the validators of the previous answer to the same request,
// and an answer 304 hands back that answer's value, marked unchanged, without decoding anything.
// The kept answers go as soon as the token changes or is removed. Copies share one configuration
// and the kept answers.
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
        return getBytes(path, [decode, done = std::move(done)](const GitHubResult<QByteArray> &body) {
            if (!body.isOk())
                return done(body.error());
            std::optional<T> value;
            try {
                value.emplace(decode(body.value()));
            } catch (const JsonDecodeError &error) {
                return done(GitHubError::decode(QString::fromUtf8(error.what())));
            }
            done(std::move(*value));
        });
    }

    // GET `path` as a poll: conditional on the previous answer to the same path, when it was asked
    // with the token in use (or none) and decoded into the same `variant` (the repositories a list
    // is kept for); a 304 hands back that answer's value. One answer is kept per path.
    template<typename T, typename Decode>
    CancelHandle poll(const QString &path, const QString &variant, Decode decode, Callback<Polled<T>> done) const
    {
        const quint64 generation = m_transport.tokenGeneration();
        const std::shared_ptr<PollCache> cache = m_cache;
        HttpValidators validators;
        const auto kept = cache->answers.constFind(path);
        if (kept != cache->answers.cend() && cache->tokenGeneration == generation && kept->variant == variant)
            validators = kept->validators;
        const auto receive = [cache, path, variant, generation, decode, done = std::move(done)](
                                 const GitHubResult<GitHubResponse> &answer) {
            if (!answer.isOk())
                return done(answer.error());
            const GitHubResponse &response = answer.value();
            const std::optional<int> interval = pollIntervalOf(response);
            // An answer for a token since replaced is neither taken for unchanged nor kept.
            const bool sameToken = cache->tokenGeneration == generation;
            if (response.status == 304) {
                const PollAnswer previous = sameToken ? cache->answers.value(path) : PollAnswer();
                if (const T *value = std::any_cast<T>(&previous.value))
                    return done(Polled<T>(*value, true, interval));
                return done(GitHubError::http(304));
            }
            std::optional<T> value;
            try {
                value.emplace(decode(response.body));
            } catch (const JsonDecodeError &error) {
                return done(GitHubError::decode(QString::fromUtf8(error.what())));
            }
            if (sameToken)
                cache->answers.insert(path, PollAnswer { variant, HttpValidators::from(response.headers), *value });
            done(Polled<T>(std::move(*value), false, interval));
        };
        return m_transport.get(path, receive, validators);
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

    // The last answer to each poll, with the validators GitHub sent for it.
    struct PollAnswer {
        QString variant;
        HttpValidators validators;
        std::any value;
    };
    // The answers asked with the token in use (another token's answer is never taken for
    // unchanged); they are dropped when the credentials' token changes or goes.
    struct PollCache {
        QHash<QString, PollAnswer> answers;
        quint64 tokenGeneration = 0;
        QMetaObject::Connection followsCredentials;

        ~PollCache() { QObject::disconnect(followsCredentials); }
    };

    GitHubTransport m_transport;
    std::shared_ptr<PollCache> m_cache = std::make_shared<PollCache>();
};

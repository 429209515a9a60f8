#pragma once

#include "services/GitHubApi.h"
#include "services/GitHubResponse.h"
#include "services/HttpValidators.h"
#include "services/JsonReader.h"

#include <QList>
#include <QSslCertificate>
#include <QUrl>

#include <QHash>

#include <any>
#include <memory>
#include <optional>

class GitHubCredentials;
class QNetworkAccessManager;

// The REST client both GitHub modules talk through: GET requests with the API's headers and the
// bearer token, non-success statuses turned into GitHubError, bodies decoded strictly.
//
// The token is read from the shared credentials at every request, so a token saved or removed
// counts from the next request on. An answer 401 marks the token sent as refused; a success with
// it marks it accepted again. An answer 403 or 429 that spends the rate limit or asks to retry
// later stops every request with that token until then.
//
// Polls are conditional: each sends the validators of the previous answer to the same request,
// and an answer 304 hands back that answer's value, marked unchanged, without decoding anything.
//
// The token is only ever sent to the API's own origin over HTTPS: any other address, and any
// redirect leading elsewhere, is refused without sending it. Bodies beyond a bound fail the call
// instead of filling memory. Copies share one immutable configuration.
class GitHubClient final : public GitHubApi {
public:
    // Where and how the client connects. Production uses the defaults; tests point it at a local
    // server whose certificate they trust and shorten the timeout.
    struct Endpoint {
        QUrl apiRoot = QUrl(QStringLiteral("https://api.github.com"));
        QList<QSslCertificate> extraTrustedCertificates; // added to the system's trust store
        int transferTimeoutMs = 60000; // without a byte moving
        qint64 maximumBodySize = 16 * 1024 * 1024;
    };

    // `credentials` must outlive the client's requests; once it is gone, no token is sent.
    GitHubClient(QNetworkAccessManager &network, GitHubCredentials &credentials);
    GitHubClient(QNetworkAccessManager &network, GitHubCredentials &credentials, Endpoint endpoint);

    using ResponseCallback = std::function<void(const GitHubResult<GitHubResponse> &)>;
    using BytesCallback = std::function<void(const GitHubResult<QByteArray> &)>;
    using Headers = QList<QPair<QByteArray, QByteArray>>;

    // GET `path`: relative to the API root ("notifications") or an absolute address on its origin.
    // `conditions` (If-None-Match, If-Modified-Since) make an answer 304 a success.
    GitHubRequest getResponse(const QString &path, ResponseCallback done, const Headers &conditions = {}) const;
    // The same, for the body alone.
    GitHubRequest getBytes(const QString &path, BytesCallback done) const;

    // GET `path` and decode the body with `decode` (a function from bytes to a record that throws
    // JsonDecodeError on a body of the wrong shape).
    template<typename T, typename Decode> GitHubRequest get(const QString &path, Decode decode, Callback<T> done) const
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
    // with the same token and decoded into the same `variant` (the repositories a list is kept
    // for); a 304 hands back that answer's value. One answer is kept per path.
    template<typename T, typename Decode>
    GitHubRequest poll(const QString &path, const QString &variant, Decode decode, Callback<Polled<T>> done) const
    {
        const std::optional<QString> token = currentToken();
        const std::shared_ptr<PollCache> cache = m_cache;
        Headers conditions;
        const auto kept = cache->constFind(path);
        if (token && kept != cache->cend() && kept->token == *token && kept->variant == variant)
            conditions = kept->validators.conditions();
        const auto receive = [cache, path, variant, token, decode, done = std::move(done)](
                                 const GitHubResult<GitHubResponse> &answer) {
            if (!answer.isOk())
                return done(answer.error());
            const GitHubResponse &response = answer.value();
            std::optional<int> interval;
            if (const auto header = response.header("X-Poll-Interval"))
                interval = header->toInt();
            if (response.status == 304) {
                const PollAnswer previous = cache->value(path);
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
            cache->insert(
                path, PollAnswer { token.value_or(QString()), variant, HttpValidators::from(response.headers), *value });
            done(Polled<T>(std::move(*value), false, interval));
        };
        return getResponse(path, receive, conditions);
    }

    GitHubRequest workflowRuns(
        const QString &repo, int perPage, Callback<Polled<QList<WorkflowRun>>> done) const override;
    GitHubRequest unreadPullRequestNotifications(
        const QStringList &repos, Callback<Polled<QList<GitHubNotification>>> done) const override;
    GitHubRequest pullRequestState(const QString &address, Callback<PullRequestState> done) const override;
    GitHubRequest currentUser(Callback<GitHubUser> done) const override;

private:
    friend class GitHubTransfer;
    struct Shared;
    // The last answer to each poll, with the validators GitHub sent for it and the token it was
    // asked with (another token's answer is never taken for unchanged).
    struct PollAnswer {
        QString token;
        QString variant;
        HttpValidators validators;
        std::any value;
    };
    using PollCache = QHash<QString, PollAnswer>;

    std::optional<QString> currentToken() const;

    std::shared_ptr<const Shared> m_shared;
    std::shared_ptr<PollCache> m_cache = std::make_shared<PollCache>();
};

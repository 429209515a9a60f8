#pragma once

#include "services/GitHubApi.h"
#include "services/GitHubResponse.h"
#include "services/JsonReader.h"

#include <QList>
#include <QSslCertificate>
#include <QUrl>

#include <memory>
#include <optional>

class GitHubCredentials;
class QNetworkAccessManager;

// The REST client both GitHub modules talk through: GET requests with the API's headers and the
// bearer token, non-success statuses turned into GitHubError, bodies decoded strictly.
//
// The token is read from the shared credentials at every request, so a token saved or removed
// counts from the next request on. An answer 401 marks the token sent as refused; a success with
// it marks it accepted again.
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

    // GET `path`: relative to the API root ("notifications") or an absolute address on its origin.
    GitHubRequest getResponse(const QString &path, ResponseCallback done) const;
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

    GitHubRequest workflowRuns(const QString &repo, int perPage, Callback<QList<WorkflowRun>> done) const override;
    GitHubRequest unreadPullRequestNotifications(
        const QStringList &repos, Callback<QList<GitHubNotification>> done) const override;
    GitHubRequest pullRequestState(const QString &address, Callback<PullRequestState> done) const override;
    GitHubRequest currentUser(Callback<GitHubUser> done) const override;

private:
    friend class GitHubTransfer;
    struct Shared;
    std::shared_ptr<const Shared> m_shared;
};

#pragma once

#include "core/CancelHandle.h"
#include "integrations/github/GitHubResponse.h"
#include "integrations/github/GitHubResult.h"
#include "integrations/github/GitHubServer.h"
#include "services/HttpValidators.h"

#include <QDateTime>
#include <QList>
#include <QSslCertificate>
#include <QUrl>

#include <functional>
#include <memory>
#include <optional>

class GitHubCredentials;
class QNetworkAccessManager;

// Requests to the GitHub REST API (GET, and POST or PATCH without a body), for every part that
// talks to it: the API's headers, a transfer timeout, a bound on the body, conditional GET requests,
// and the origin rule. Requests go only to the API's own origin over HTTPS: any other address, and
// any redirect leading elsewhere, is refused without sending anything there. The API is the
// credentials' server's, read with the token at every request (github.com for an anonymous
// transport).
//
// An authenticated transport sends the bearer token of its credentials, read at every request,
// and tells the credentials what GitHub made of it: an answer 401 marks it refused, a success
// accepted again, and an answer 403 or 429 that spends the rate limit or asks to retry later stops
// every request with that token until then; every answer to it goes to the account's budget. An
// anonymous transport never sends a token.
// Copies share one immutable configuration.
class GitHubTransport final {
public:
    // Where and how requests go. Production uses the defaults; tests point them at a local server
    // whose certificate they trust and shorten the timeout.
    struct Endpoint {
        // github.com's API; tests point it at a local server. Another server's API is its own.
        QUrl apiRoot = GitHubServer().apiRoot();
        QList<QSslCertificate> extraTrustedCertificates; // added to the system's trust store
        int transferTimeoutMs = 60000; // without a byte moving
        qint64 maximumBodySize = 16 * 1024 * 1024;
    };
    using Done = std::function<void(const GitHubResult<GitHubResponse> &)>;

    // Anonymous.
    GitHubTransport(QNetworkAccessManager &network, Endpoint endpoint);
    // Authenticated; `credentials` must outlive the requests, once it is gone no token is sent.
    GitHubTransport(QNetworkAccessManager &network, Endpoint endpoint, GitHubCredentials &credentials);

    // GET `path`: relative to the API root ("notifications", "/notifications" alike) or an absolute
    // address on its origin.
    // With `validators` the request is conditional, and an answer 304 is a success. `done` runs
    // later on the GUI thread, never inside this call, and not at all once the request is cancelled.
    CancelHandle get(const QString &path, Done done, const HttpValidators &validators = {}) const;
    // POST or PATCH `path` without a body, under the same rules as get() but never conditional. A
    // redirect is followed only where it keeps the method (307, 308).
    CancelHandle post(const QString &path, Done done) const;
    CancelHandle patch(const QString &path, Done done) const;
    // Sends nothing, and answers `done` later with a refusal as for an address off the API: for a
    // request that cannot be addressed as meant (an id GitHub never issues).
    CancelHandle refuse(const QByteArray &method, Done done) const;

    // The token the next request would send; none for an anonymous transport.
    std::optional<QString> token() const;
    // The credentials' token generation; 0 for an anonymous transport.
    quint64 tokenGeneration() const;

    // The wait in seconds an answer asks for: Retry-After (the secondary limits send that alone,
    // at least a second), or a spent rate limit (403 or 429 with X-RateLimit-Remaining 0) until its
    // reset counted from the answer's Date (from `localNow` without one), at least a minute; at most
    // the hour in which GitHub's limits renew. None when the answer asks for no wait.
    static std::optional<qint64> waitAskedFor(const GitHubResponse &answer, const QDateTime &localNow);

private:
    struct Shared;
    friend class GitHubTransfer;

    CancelHandle send(const QByteArray &method, const QString &path, Done done, const HttpValidators &validators) const;

    std::shared_ptr<const Shared> m_shared;
};

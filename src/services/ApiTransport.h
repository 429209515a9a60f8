#pragma once

#include "core/CancelHandle.h"
#include "services/ApiResponse.h"
#include "services/ApiResult.h"
#include "services/HttpValidators.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QSslCertificate>
#include <QUrl>

#include <functional>
#include <memory>
#include <optional>

class ApiCredentials;
class QLoggingCategory;
class QNetworkAccessManager;

// Requests to one service's web API (GET, and POST or PATCH without a body), for every part that
// talks to it: the service's headers, a transfer timeout, a bound on the body, conditional GET
// requests, and the origin rule. Requests go only to the API's own origin over HTTPS, below the
// API's root path: any other address, and any redirect leading elsewhere, is refused without
// sending anything there. The API
// is the credentials' server's, read with the token at every request (the endpoint's root for the
// service's public server, and for an anonymous transport).
//
// An authenticated transport sends the token of its credentials, read at every request, and tells
// the credentials what the service made of it: an answer 401 marks it refused, a success accepted
// again, and an answer that spends the rate limit or asks to retry later stops every request with
// that token until then; every answer to it goes to the account's budget. An anonymous transport
// never sends a token. Copies share one immutable configuration.
class ApiTransport final {
public:
    // Where requests go. Production uses the service's public API; tests point it at a local
    // server whose certificate they trust and shorten the timeout.
    struct Endpoint {
        QUrl apiRoot;
        QList<QSslCertificate> extraTrustedCertificates; // added to the system's trust store
        int transferTimeoutMs = 60000; // without a byte moving
        qint64 maximumBodySize = 16 * 1024 * 1024;
    };
    // How the service wants to be spoken to.
    struct Dialect {
        using Headers = QList<QPair<QByteArray, QByteArray>>;
        Headers headers; // sent with every request, in this order
        QByteArray tokenHeader; // "Authorization", "PRIVATE-TOKEN"
        QByteArray tokenPrefix; // put before the token in it ("Bearer "), or none
        // Statuses that tell of a wait (with Retry-After or a spent rate limit).
        QList<int> waitStatuses = { 429 };
        const QLoggingCategory &(*log)(); // the service's log
    };
    using Done = std::function<void(const ApiResult<ApiResponse> &)>;

    // Anonymous.
    ApiTransport(QNetworkAccessManager &network, Endpoint endpoint, Dialect dialect);
    // Authenticated; `credentials` must outlive the requests, once it is gone no token is sent.
    ApiTransport(QNetworkAccessManager &network, Endpoint endpoint, Dialect dialect, ApiCredentials &credentials);

    // GET `path`: relative to the API root ("projects", "/projects" alike) or an absolute address on
    // its origin. With `validators` the request is conditional, and an answer 304 is a success.
    // `done` runs later on the GUI thread, never inside this call, and not at all once the request
    // is cancelled.
    CancelHandle get(const QString &path, Done done, const HttpValidators &validators = {}) const;
    // POST or PATCH `path` without a body, under the same rules as get() but never conditional. A
    // redirect is followed only where it keeps the method (307, 308).
    CancelHandle post(const QString &path, Done done) const;
    CancelHandle patch(const QString &path, Done done) const;
    // Sends nothing, and answers `done` later with a refusal as for an address off the API: for a
    // request that cannot be addressed as meant (an id the service never issues).
    CancelHandle refuse(const QByteArray &method, Done done) const;

    // The token the next request would send; none for an anonymous transport.
    std::optional<QString> token() const;
    // The credentials' token generation; 0 for an anonymous transport.
    quint64 tokenGeneration() const;

    // The wait in seconds an answer with one of `waitStatuses` asks for: Retry-After (at least a
    // second), or a spent rate limit (x-ratelimit-remaining or ratelimit-remaining 0) until its
    // reset (x-ratelimit-reset or ratelimit-reset, seconds since the epoch) counted from the
    // answer's Date (from `localNow` without one), at least a minute; at most the hour in which
    // rate limits renew. None when the answer asks for no wait.
    static std::optional<qint64> waitAskedFor(
        const ApiResponse &answer, const QDateTime &localNow, const QList<int> &waitStatuses = { 403, 429 });
    // Whether `url` is an https address on the scheme, host and port of `origin` (an https URL).
    static bool isOnOrigin(const QUrl &url, const QUrl &origin);

private:
    struct Shared;
    friend class ApiTransfer;

    CancelHandle send(const QByteArray &method, const QString &path, Done done, const HttpValidators &validators) const;

    std::shared_ptr<const Shared> m_shared;
};

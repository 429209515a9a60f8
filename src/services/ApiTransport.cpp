#include "services/ApiTransport.h"

#include "services/ApiBudget.h"
#include "services/ApiCredentials.h"
#include "services/ReplyBound.h"

#include <QDateTime>
#include <QLocale>
#include <QLoggingCategory>
#include <QMetaObject>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QPointer>
#include <QSslConfiguration>

#include <algorithm>

struct ApiTransport::Shared {
    QPointer<QNetworkAccessManager> network;
    bool authenticated = false;
    QPointer<ApiCredentials> credentials;
    Endpoint endpoint;
    Dialect dialect;
    std::optional<QSslConfiguration> sslConfiguration; // only when certificates are added
};

namespace {

constexpr int maximumRedirects = 5;

// A header value cannot hold line breaks or other control characters; a token with any would
// break the request apart (or smuggle in headers), so it is never sent.
bool fitsInHeader(const QString &token)
{
    return std::none_of(
        token.cbegin(), token.cend(), [](QChar c) { return c.unicode() < 0x20 || c.unicode() == 0x7f; });
}

// A redirect the request follows: any for a GET, for other methods only those that keep the method
// (the others would turn it into a GET).
bool isRedirect(int status, const QByteArray &method)
{
    if (status == 307 || status == 308)
        return true;
    return method == "GET" && (status == 301 || status == 302 || status == 303);
}

// Seconds added to the service's reset time, so that the first request after the wait finds the
// limit renewed even with the clocks a little apart.
constexpr qint64 resetMargin = 5;
// A spent limit is waited out for at least a minute, and for at most the hour in which rate limits
// renew.
constexpr qint64 shortestLimitWait = 60;
constexpr qint64 limitRenewal = 3600;
constexpr qint64 longestLimitWait = limitRenewal + resetMargin;

// An HTTP date ("Tue, 01 Dec 2026 10:00:00 GMT"); invalid when the text is none.
QDateTime httpDate(const QByteArray &text)
{
    const QDateTime read = QLocale::c().toDateTime(
        QString::fromLatin1(text.trimmed()), QStringLiteral("ddd, dd MMM yyyy HH:mm:ss 'GMT'"));
    return read.isValid() ? QDateTime(read.date(), read.time(), Qt::UTC) : QDateTime();
}

// The first of two headers that is there.
std::optional<QByteArray> eitherHeader(const ApiResponse &answer, const QByteArray &name, const QByteArray &otherName)
{
    const std::optional<QByteArray> value = answer.header(name);
    return value ? value : answer.header(otherName);
}

// Whether `url` lies below `apiRoot` on its origin: a token goes to the API alone, never to the
// server's web pages beside it.
bool isBelowRoot(const QUrl &url, const QUrl &apiRoot)
{
    return ApiTransport::isOnOrigin(url, apiRoot)
        && url.path(QUrl::FullyEncoded).startsWith(apiRoot.path(QUrl::FullyEncoded));
}

// `done`, run only while `request` is pending, which it finishes.
ApiTransport::Done deliverOnce(CancelHandle request, ApiTransport::Done done)
{
    return [request, done = std::move(done)](const ApiResult<ApiResponse> &result) mutable {
        if (request.finish())
            done(result);
    };
}

} // namespace

bool ApiTransport::isOnOrigin(const QUrl &url, const QUrl &origin)
{
    return url.isValid() && url.scheme() == u"https" && origin.scheme() == u"https" && url.host() == origin.host()
        && url.port(443) == origin.port(443);
}

std::optional<qint64> ApiTransport::waitAskedFor(
    const ApiResponse &answer, const QDateTime &localNow, const QList<int> &waitStatuses)
{
    if (!waitStatuses.contains(answer.status))
        return std::nullopt;
    if (const std::optional<qint64> retryAfter = answer.number("Retry-After"); retryAfter && *retryAfter >= 0)
        return std::clamp<qint64>(*retryAfter, 1, limitRenewal);
    if (eitherHeader(answer, "X-RateLimit-Remaining", "RateLimit-Remaining").value_or(QByteArray()).trimmed() != "0")
        return std::nullopt;
    bool read = false;
    const qint64 reset = eitherHeader(answer, "X-RateLimit-Reset", "RateLimit-Reset")
                             .value_or(QByteArray())
                             .trimmed()
                             .toLongLong(&read);
    if (!read)
        return longestLimitWait;
    // The service names the reset on its own clock: counted from the answer's Date, the wait holds
    // whether the local clock runs ahead or behind.
    const QDateTime serverNow = httpDate(answer.header("Date").value_or(QByteArray()));
    const qint64 now = (serverNow.isValid() ? serverNow : localNow).toSecsSinceEpoch();
    // Clamped before the margin is added, so that no reset (not even one past what a date holds)
    // overflows.
    return std::clamp(std::clamp(reset, now - longestLimitWait, now + longestLimitWait) + resetMargin - now,
        shortestLimitWait, longestLimitWait);
}

// One request with everything it needs, alive for as long as its transfers are.
class ApiTransfer final {
public:
    using Shared = ApiTransport::Shared;
    using Done = ApiTransport::Done;
    using Headers = HttpValidators::Headers;

    // Requests only go to `apiRoot`'s scheme, host and port, and only over HTTPS.
    static void run(std::shared_ptr<const Shared> shared, const QByteArray &method, const QUrl &apiRoot,
        const QUrl &url, const std::optional<QString> &token, const Headers &conditions, int redirectsLeft,
        CancelHandle request, Done done);
    // Delivers `error` as a later piece of work, as a transfer would.
    static void failLater(const Shared &shared, const QByteArray &method, Done done, const ApiError &error);
    // Tells the credentials what the service made of the token sent.
    static void judgeToken(const Shared &shared, const QString &token, const ApiResponse &answer);
};

void ApiTransfer::judgeToken(const Shared &shared, const QString &token, const ApiResponse &answer)
{
    if (!shared.credentials)
        return;
    if (answer.status == 401) {
        shared.credentials->markRefused(token);
    } else if ((answer.status >= 200 && answer.status <= 299) || answer.status == 304) {
        shared.credentials->markAccepted(token);
        shared.credentials->noteAccepted(token, answer);
    }
}

void ApiTransfer::failLater(const Shared &shared, const QByteArray &method, Done done, const ApiError &error)
{
    qCDebug(shared.dialect.log).noquote() << method << "not sent:" << error.description();
    if (!shared.network)
        return;
    QMetaObject::invokeMethod(
        shared.network.data(), [done = std::move(done), error] { done(error); }, Qt::QueuedConnection);
}

void ApiTransfer::run(std::shared_ptr<const Shared> shared, const QByteArray &method, const QUrl &apiRoot,
    const QUrl &url, const std::optional<QString> &token, const Headers &conditions, int redirectsLeft,
    CancelHandle request, Done done)
{
    if (!shared->network)
        return;
    QNetworkRequest httpRequest(url);
    for (const auto &[name, value] : shared->dialect.headers)
        httpRequest.setRawHeader(name, value);
    if (token)
        httpRequest.setRawHeader(shared->dialect.tokenHeader, shared->dialect.tokenPrefix + token->toUtf8());
    // Some services turn away requests that carry no User-Agent.
    httpRequest.setHeader(QNetworkRequest::UserAgentHeader, QByteArrayLiteral("Tarnlet/" TARNLET_VERSION));
    for (const auto &[name, value] : conditions)
        httpRequest.setRawHeader(name, value);
    httpRequest.setTransferTimeout(shared->endpoint.transferTimeoutMs);
    // Redirects are checked here, so that none leads to another origin.
    httpRequest.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
    if (shared->sslConfiguration)
        httpRequest.setSslConfiguration(*shared->sslConfiguration);

    // The path only: the query and the headers stay out of the log.
    qCDebug(shared->dialect.log).noquote() << method << url.path() << (conditions.isEmpty() ? "" : "(conditional)");
    // A POST or PATCH carries no body: an empty one makes the request say so (Content-Length: 0).
    QNetworkReply *reply = method == "GET" ? shared->network->get(httpRequest)
                                           : shared->network->sendCustomRequest(httpRequest, method, QByteArray());
    const std::shared_ptr<bool> tooLarge = boundReply(reply, request, shared->endpoint.maximumBodySize);
    QObject::connect(reply, &QNetworkReply::finished, reply, [=, done = std::move(done)] {
        reply->deleteLater();
        if (!request.isPending())
            return;
        if (*tooLarge)
            return done(ApiError::tooLarge());
        const QVariant statusAttribute = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
        if (statusAttribute.isValid()) {
            const int status = statusAttribute.toInt();
            qCDebug(shared->dialect.log).noquote() << method << url.path() << "answered" << status;
            const ApiResponse answer { status, {}, reply->rawHeaderPairs() };
            if (token && shared->credentials) {
                if (ApiBudget *budget = shared->credentials->budget())
                    budget->take(answer);
            }
            if (isRedirect(status, method) && reply->hasRawHeader("Location")) {
                const QUrl target = url.resolved(QUrl::fromEncoded(reply->rawHeader("Location")));
                if (!isBelowRoot(target, apiRoot))
                    return done(ApiError::refused());
                if (redirectsLeft == 0)
                    return done(ApiError::http(status));
                return run(shared, method, apiRoot, target, token, conditions, redirectsLeft - 1, request, done);
            }
            if (token)
                judgeToken(*shared, *token, answer);
            if (const std::optional<qint64> wait
                = ApiTransport::waitAskedFor(answer, QDateTime::currentDateTimeUtc(), shared->dialect.waitStatuses)) {
                qCDebug(shared->dialect.log).noquote() << "the server asks to wait" << *wait << "s";
                if (token && shared->credentials)
                    shared->credentials->markLimited(*token, *wait);
                return done(ApiError::rateLimited(*wait));
            }
            const bool unchanged = status == 304 && !conditions.isEmpty();
            if ((status < 200 || status > 299) && !unchanged)
                return done(ApiError::http(status));
        }
        if (reply->error() != QNetworkReply::NoError) {
            qCDebug(shared->dialect.log).noquote() << method << url.path() << "failed: network error" << reply->error();
            return done(ApiError::transport(reply->error(), reply->errorString()));
        }
        if (!statusAttribute.isValid())
            return done(ApiError::invalidResponse());
        done(ApiResponse { statusAttribute.toInt(), reply->readAll(), reply->rawHeaderPairs() });
    });
}

ApiTransport::ApiTransport(QNetworkAccessManager &network, Endpoint endpoint, Dialect dialect)
{
    auto shared = std::make_shared<Shared>();
    shared->network = &network;
    if (!endpoint.extraTrustedCertificates.isEmpty()) {
        QSslConfiguration configuration = QSslConfiguration::defaultConfiguration();
        configuration.addCaCertificates(endpoint.extraTrustedCertificates);
        shared->sslConfiguration = configuration;
    }
    shared->endpoint = std::move(endpoint);
    shared->dialect = std::move(dialect);
    m_shared = std::move(shared);
}

ApiTransport::ApiTransport(
    QNetworkAccessManager &network, Endpoint endpoint, Dialect dialect, ApiCredentials &credentials)
    : ApiTransport(network, std::move(endpoint), std::move(dialect))
{
    auto shared = std::make_shared<Shared>(*m_shared);
    shared->authenticated = true;
    shared->credentials = &credentials;
    m_shared = std::move(shared);
}

std::optional<QString> ApiTransport::token() const
{
    return m_shared->credentials ? m_shared->credentials->token() : std::nullopt;
}

quint64 ApiTransport::tokenGeneration() const
{
    return m_shared->credentials ? m_shared->credentials->tokenGeneration() : 0;
}

CancelHandle ApiTransport::get(const QString &path, Done done, const HttpValidators &validators) const
{
    return send(QByteArrayLiteral("GET"), path, std::move(done), validators);
}

CancelHandle ApiTransport::post(const QString &path, Done done) const
{
    return send(QByteArrayLiteral("POST"), path, std::move(done), {});
}

CancelHandle ApiTransport::patch(const QString &path, Done done) const
{
    return send(QByteArrayLiteral("PATCH"), path, std::move(done), {});
}

CancelHandle ApiTransport::refuse(const QByteArray &method, Done done) const
{
    CancelHandle request = CancelHandle::create();
    ApiTransfer::failLater(*m_shared, method, deliverOnce(request, std::move(done)), ApiError::refused());
    return request;
}

CancelHandle ApiTransport::send(
    const QByteArray &method, const QString &path, Done done, const HttpValidators &validators) const
{
    CancelHandle request = CancelHandle::create();
    Done deliver = deliverOnce(request, std::move(done));
    // Read now, at every request: a token saved or removed meanwhile, or another server, counts
    // from here on; server and token are read together.
    const std::optional<QString> token = this->token();
    const QUrl apiRoot = m_shared->credentials
        ? m_shared->credentials->ownApiRoot().value_or(m_shared->endpoint.apiRoot)
        : m_shared->endpoint.apiRoot;
    if (m_shared->authenticated) {
        if (!token) {
            ApiTransfer::failLater(*m_shared, method, std::move(deliver), ApiError::missingToken());
            return request;
        }
        // While the service has asked to wait, nothing goes out with this token.
        if (const std::optional<qint64> left = m_shared->credentials->limitRemaining()) {
            ApiTransfer::failLater(*m_shared, method, std::move(deliver), ApiError::rateLimited(*left));
            return request;
        }
        if (!fitsInHeader(*token)) {
            ApiTransfer::failLater(*m_shared, method, std::move(deliver), ApiError::refused());
            return request;
        }
    }
    // RFC 3986 resolution: "projects" lands right below the root, absolute addresses stay. A
    // leading slash counts from the root too, which on a self-hosted server lies below its API path.
    const bool fromRoot = path.startsWith(u'/') && !path.startsWith(u"//");
    const QUrl reference(fromRoot ? path.mid(1) : path);
    const QUrl url = apiRoot.resolved(reference);
    if (!reference.isValid() || !isBelowRoot(url, apiRoot)) {
        ApiTransfer::failLater(*m_shared, method, std::move(deliver), ApiError::refused());
        return request;
    }
    ApiTransfer::run(
        m_shared, method, apiRoot, url, token, validators.conditions(), maximumRedirects, request, std::move(deliver));
    return request;
}

#include "integrations/github/GitHubTransport.h"

#include "integrations/github/GitHubBudget.h"
#include "integrations/github/GitHubCredentials.h"
#include "integrations/github/GitHubLogging.h"

#include <QDateTime>
#include <QLocale>
#include <QMetaObject>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QPointer>
#include <QSslConfiguration>

#include <algorithm>

struct GitHubTransport::Shared {
    QPointer<QNetworkAccessManager> network;
    bool authenticated = false;
    QPointer<GitHubCredentials> credentials;
    Endpoint endpoint;
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

// Seconds added to GitHub's reset time, so that the first request after the wait finds the limit
// renewed even with the clocks a little apart.
constexpr qint64 resetMargin = 5;
// A spent limit is waited out for at least a minute, and for at most the hour in which GitHub's
// limits renew.
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

// `done`, run only while `request` is pending, which it finishes.
GitHubTransport::Done deliverOnce(CancelHandle request, GitHubTransport::Done done)
{
    return [request, done = std::move(done)](const GitHubResult<GitHubResponse> &result) mutable {
        if (request.finish())
            done(result);
    };
}

} // namespace

std::optional<qint64> GitHubTransport::waitAskedFor(const GitHubResponse &answer, const QDateTime &localNow)
{
    if (answer.status != 403 && answer.status != 429)
        return std::nullopt;
    if (const std::optional<qint64> retryAfter = answer.number("Retry-After"); retryAfter && *retryAfter >= 0)
        return std::clamp<qint64>(*retryAfter, 1, limitRenewal);
    if (answer.header("X-RateLimit-Remaining").value_or(QByteArray()).trimmed() != "0")
        return std::nullopt;
    const std::optional<qint64> reset = answer.number("X-RateLimit-Reset");
    if (!reset)
        return longestLimitWait;
    // GitHub names the reset on its own clock: counted from the answer's Date, the wait holds
    // whether the local clock runs ahead or behind.
    const QDateTime serverNow = httpDate(answer.header("Date").value_or(QByteArray()));
    const qint64 now = (serverNow.isValid() ? serverNow : localNow).toSecsSinceEpoch();
    // Clamped before the margin is added, so that no reset (not even one past what a date holds)
    // overflows.
    return std::clamp(std::clamp(*reset, now - longestLimitWait, now + longestLimitWait) + resetMargin - now,
        shortestLimitWait, longestLimitWait);
}

// One request with everything it needs, alive for as long as its transfers are.
class GitHubTransfer final {
public:
    using Shared = GitHubTransport::Shared;
    using Done = GitHubTransport::Done;
    using Headers = HttpValidators::Headers;

    // Requests only go to `apiRoot`'s scheme, host and port, and only over HTTPS.
    static void run(std::shared_ptr<const Shared> shared, const QByteArray &method, const QUrl &apiRoot,
        const QUrl &url, const std::optional<QString> &token, const Headers &conditions, int redirectsLeft,
        CancelHandle request, Done done);
    // Delivers `error` as a later piece of work, as a transfer would.
    static void failLater(const Shared &shared, const QByteArray &method, Done done, const GitHubError &error);
    // Tells the credentials what GitHub made of the token sent, and when it ends where the answer
    // says so.
    static void judgeToken(const Shared &shared, const QString &token, const QNetworkReply &reply, int status);
    // Tells the account's budget what an answer to the token said of the limit and cost.
    static void countAnswer(const Shared &shared, const GitHubResponse &answer);
};

void GitHubTransfer::countAnswer(const Shared &shared, const GitHubResponse &answer)
{
    if (GitHubBudget *budget = shared.credentials ? shared.credentials->budget() : nullptr)
        budget->take(answer);
}

void GitHubTransfer::judgeToken(const Shared &shared, const QString &token, const QNetworkReply &reply, int status)
{
    if (!shared.credentials)
        return;
    if (status == 401) {
        shared.credentials->markRefused(token);
    } else if ((status >= 200 && status <= 299) || status == 304) {
        shared.credentials->markAccepted(token);
        // Absent for a token that does not expire; a token's end never goes away, so an answer
        // without it (or with one that cannot be read) changes nothing.
        if (const std::optional<QDateTime> end = GitHubCredentials::expiryFromHeader(
                reply.rawHeader(QByteArrayLiteral("github-authentication-token-expiration"))))
            shared.credentials->noteExpiry(token, *end);
    }
}

void GitHubTransfer::failLater(const Shared &shared, const QByteArray &method, Done done, const GitHubError &error)
{
    qCDebug(lcGitHub).noquote() << method << "not sent:" << error.description();
    if (!shared.network)
        return;
    QMetaObject::invokeMethod(
        shared.network.data(), [done = std::move(done), error] { done(error); }, Qt::QueuedConnection);
}

void GitHubTransfer::run(std::shared_ptr<const Shared> shared, const QByteArray &method, const QUrl &apiRoot,
    const QUrl &url, const std::optional<QString> &token, const Headers &conditions, int redirectsLeft,
    CancelHandle request, Done done)
{
    if (!shared->network)
        return;
    QNetworkRequest httpRequest(url);
    httpRequest.setRawHeader("Accept", "application/vnd.github+json");
    httpRequest.setRawHeader("X-GitHub-Api-Version", "2022-11-28");
    if (token)
        httpRequest.setRawHeader("Authorization", "Bearer " + token->toUtf8());
    // GitHub turns away requests that carry no User-Agent.
    httpRequest.setHeader(QNetworkRequest::UserAgentHeader, QByteArrayLiteral("Tarnlet/" TARNLET_VERSION));
    for (const auto &[name, value] : conditions)
        httpRequest.setRawHeader(name, value);
    httpRequest.setTransferTimeout(shared->endpoint.transferTimeoutMs);
    // Redirects are checked here, so that none leads to another origin.
    httpRequest.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
    if (shared->sslConfiguration)
        httpRequest.setSslConfiguration(*shared->sslConfiguration);

    // The path only: the query and the headers stay out of the log.
    qCDebug(lcGitHub).noquote() << method << url.path() << (conditions.isEmpty() ? "" : "(conditional)");
    // A POST or PATCH carries no body: an empty one makes the request say so (Content-Length: 0).
    QNetworkReply *reply = method == "GET" ? shared->network->get(httpRequest)
                                           : shared->network->sendCustomRequest(httpRequest, method, QByteArray());
    request.setOnCancel([guard = QPointer<QNetworkReply>(reply)] {
        if (guard)
            guard->abort();
    });
    auto tooLarge = std::make_shared<bool>(false);
    const qint64 bound = shared->endpoint.maximumBodySize;
    QObject::connect(
        reply, &QNetworkReply::downloadProgress, reply, [reply, tooLarge, bound](qint64 got, qint64 total) {
            if (!*tooLarge && (got > bound || total > bound)) {
                *tooLarge = true;
                reply->abort();
            }
        });
    QObject::connect(reply, &QNetworkReply::finished, reply, [=, done = std::move(done)] {
        reply->deleteLater();
        if (!request.isPending())
            return;
        if (*tooLarge)
            return done(GitHubError::tooLarge());
        const QVariant statusAttribute = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
        if (statusAttribute.isValid()) {
            const int status = statusAttribute.toInt();
            qCDebug(lcGitHub).noquote() << method << url.path() << "answered" << status;
            const GitHubResponse answer { status, {}, reply->rawHeaderPairs() };
            if (token)
                countAnswer(*shared, answer);
            if (isRedirect(status, method) && reply->hasRawHeader("Location")) {
                const QUrl target = url.resolved(QUrl::fromEncoded(reply->rawHeader("Location")));
                if (!GitHubServer::isOnOrigin(target, apiRoot))
                    return done(GitHubError::refused());
                if (redirectsLeft == 0)
                    return done(GitHubError::http(status));
                return run(shared, method, apiRoot, target, token, conditions, redirectsLeft - 1, request, done);
            }
            if (token)
                judgeToken(*shared, *token, *reply, status);
            if (const std::optional<qint64> wait
                = GitHubTransport::waitAskedFor(answer, QDateTime::currentDateTimeUtc())) {
                qCDebug(lcGitHub).noquote() << "GitHub asks to wait" << *wait << "s";
                if (token && shared->credentials)
                    shared->credentials->markLimited(*token, *wait);
                return done(GitHubError::rateLimited(*wait));
            }
            const bool unchanged = status == 304 && !conditions.isEmpty();
            if ((status < 200 || status > 299) && !unchanged)
                return done(GitHubError::http(status));
        }
        if (reply->error() != QNetworkReply::NoError) {
            qCDebug(lcGitHub).noquote() << method << url.path() << "failed: network error" << reply->error();
            return done(GitHubError::transport(reply->error(), reply->errorString()));
        }
        if (!statusAttribute.isValid())
            return done(GitHubError::invalidResponse());
        done(GitHubResponse { statusAttribute.toInt(), reply->readAll(), reply->rawHeaderPairs() });
    });
}

GitHubTransport::GitHubTransport(QNetworkAccessManager &network, Endpoint endpoint)
{
    auto shared = std::make_shared<Shared>();
    shared->network = &network;
    if (!endpoint.extraTrustedCertificates.isEmpty()) {
        QSslConfiguration configuration = QSslConfiguration::defaultConfiguration();
        configuration.addCaCertificates(endpoint.extraTrustedCertificates);
        shared->sslConfiguration = configuration;
    }
    shared->endpoint = std::move(endpoint);
    m_shared = std::move(shared);
}

GitHubTransport::GitHubTransport(QNetworkAccessManager &network, Endpoint endpoint, GitHubCredentials &credentials)
    : GitHubTransport(network, std::move(endpoint))
{
    auto shared = std::make_shared<Shared>(*m_shared);
    shared->authenticated = true;
    shared->credentials = &credentials;
    m_shared = std::move(shared);
}

std::optional<QString> GitHubTransport::token() const
{
    return m_shared->credentials ? m_shared->credentials->token() : std::nullopt;
}

quint64 GitHubTransport::tokenGeneration() const
{
    return m_shared->credentials ? m_shared->credentials->tokenGeneration() : 0;
}

CancelHandle GitHubTransport::get(const QString &path, Done done, const HttpValidators &validators) const
{
    return send(QByteArrayLiteral("GET"), path, std::move(done), validators);
}

CancelHandle GitHubTransport::post(const QString &path, Done done) const
{
    return send(QByteArrayLiteral("POST"), path, std::move(done), {});
}

CancelHandle GitHubTransport::patch(const QString &path, Done done) const
{
    return send(QByteArrayLiteral("PATCH"), path, std::move(done), {});
}

CancelHandle GitHubTransport::refuse(const QByteArray &method, Done done) const
{
    CancelHandle request = CancelHandle::create();
    GitHubTransfer::failLater(*m_shared, method, deliverOnce(request, std::move(done)), GitHubError::refused());
    return request;
}

CancelHandle GitHubTransport::send(
    const QByteArray &method, const QString &path, Done done, const HttpValidators &validators) const
{
    CancelHandle request = CancelHandle::create();
    Done deliver = deliverOnce(request, std::move(done));
    // Read now, at every request: a token saved or removed meanwhile, or another server, counts
    // from here on; server and token are read together.
    const std::optional<QString> token = this->token();
    const GitHubServer server = m_shared->credentials ? m_shared->credentials->server() : GitHubServer();
    const QUrl apiRoot = server.isGitHubCom() ? m_shared->endpoint.apiRoot : server.apiRoot();
    if (m_shared->authenticated) {
        if (!token) {
            GitHubTransfer::failLater(*m_shared, method, std::move(deliver), GitHubError::missingToken());
            return request;
        }
        // While GitHub has asked to wait, nothing goes out with this token.
        if (const std::optional<qint64> left = m_shared->credentials->limitRemaining()) {
            GitHubTransfer::failLater(*m_shared, method, std::move(deliver), GitHubError::rateLimited(*left));
            return request;
        }
        if (!fitsInHeader(*token)) {
            GitHubTransfer::failLater(*m_shared, method, std::move(deliver), GitHubError::refused());
            return request;
        }
    }
    // RFC 3986 resolution: "notifications" lands right below the root, absolute addresses stay. A
    // leading slash counts from the root too, which on an Enterprise server lies below /api/v3.
    const bool fromRoot = path.startsWith(u'/') && !path.startsWith(u"//");
    const QUrl reference(fromRoot ? path.mid(1) : path);
    const QUrl url = apiRoot.resolved(reference);
    if (!reference.isValid() || !GitHubServer::isOnOrigin(url, apiRoot)) {
        GitHubTransfer::failLater(*m_shared, method, std::move(deliver), GitHubError::refused());
        return request;
    }
    GitHubTransfer::run(
        m_shared, method, apiRoot, url, token, validators.conditions(), maximumRedirects, request, std::move(deliver));
    return request;
}

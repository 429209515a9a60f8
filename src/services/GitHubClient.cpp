#include "services/GitHubClient.h"

#include "services/GitHubCredentials.h"

#include <algorithm>

#include <QMetaObject>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QPointer>
#include <QSslConfiguration>

struct GitHubClient::Shared {
    QPointer<QNetworkAccessManager> network;
    QPointer<GitHubCredentials> credentials;
    Endpoint endpoint;
    std::optional<QSslConfiguration> sslConfiguration; // only when certificates are added
};

namespace {

constexpr int maximumRedirects = 5;

// The token may only travel to the API's own scheme, host and port, and only over HTTPS.
bool isApiOrigin(const QUrl &url, const QUrl &apiRoot)
{
    return url.isValid() && url.scheme() == u"https" && apiRoot.scheme() == u"https" && url.host() == apiRoot.host()
        && url.port(443) == apiRoot.port(443);
}

// A header value cannot hold line breaks or other control characters; a token with any would
// break the request apart (or smuggle in headers), so it is never sent.
bool fitsInHeader(const QString &token)
{
    return std::none_of(
        token.cbegin(), token.cend(), [](QChar c) { return c.unicode() < 0x20 || c.unicode() == 0x7f; });
}

bool isRedirect(int status)
{
    return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

// Seconds added to GitHub's reset time, so that the first request after the wait finds the limit
// renewed even with the clocks a little apart.
constexpr int resetMargin = 5;

// The end of the wait an answer asks for: a spent rate limit until its reset, or Retry-After
// seconds (the secondary limits send that alone).
std::optional<QDateTime> waitAskedFor(int status, const QNetworkReply &reply)
{
    if (status != 403 && status != 429)
        return std::nullopt;
    const QDateTime now = QDateTime::currentDateTimeUtc();
    bool ok = false;
    const qint64 retryAfter = reply.rawHeader("Retry-After").trimmed().toLongLong(&ok);
    if (ok && retryAfter >= 0)
        return now.addSecs(std::max<qint64>(retryAfter, 1));
    if (reply.rawHeader("X-RateLimit-Remaining").trimmed() != "0")
        return std::nullopt;
    const qint64 reset = reply.rawHeader("X-RateLimit-Reset").trimmed().toLongLong(&ok);
    // Without a readable reset, GitHub's limits renew within the hour.
    const QDateTime until = ok ? QDateTime::fromSecsSinceEpoch(reset + resetMargin, Qt::UTC) : now.addSecs(3600);
    return std::max(until, now.addSecs(1));
}

} // namespace

// One GET with everything it needs, alive for as long as its transfers are.
class GitHubTransfer final {
public:
    using Shared = GitHubClient::Shared;

    using Done = GitHubClient::ResponseCallback;

    static void run(std::shared_ptr<const Shared> shared, const QUrl &url, const QString &token,
        const GitHubClient::Headers &conditions, int redirectsLeft, GitHubRequest request, Done done);
    // Delivers `error` as a later piece of work, as a transfer would.
    static void failLater(const Shared &shared, GitHubRequest request, Done done, const GitHubError &error);
    // Tells the credentials what GitHub made of the token sent.
    static void judgeToken(const Shared &shared, const QString &token, int status);
};

void GitHubTransfer::judgeToken(const Shared &shared, const QString &token, int status)
{
    if (!shared.credentials)
        return;
    if (status == 401)
        shared.credentials->markRefused(token);
    else if ((status >= 200 && status <= 299) || status == 304)
        shared.credentials->markAccepted(token);
}

void GitHubTransfer::failLater(const Shared &shared, GitHubRequest request, Done done, const GitHubError &error)
{
    if (!shared.network)
        return;
    QMetaObject::invokeMethod(
        shared.network.data(),
        [request, done = std::move(done), error] {
            if (!request.isAborted())
                done(error);
        },
        Qt::QueuedConnection);
}

void GitHubTransfer::run(std::shared_ptr<const Shared> shared, const QUrl &url, const QString &token,
    const GitHubClient::Headers &conditions, int redirectsLeft, GitHubRequest request, Done done)
{
    if (!shared->network)
        return;
    QNetworkRequest httpRequest(url);
    httpRequest.setRawHeader("Accept", "application/vnd.github+json");
    httpRequest.setRawHeader("X-GitHub-Api-Version", "2022-11-28");
    httpRequest.setRawHeader("Authorization", "Bearer " + token.toUtf8());
    // GitHub turns away requests that carry no User-Agent.
    httpRequest.setHeader(QNetworkRequest::UserAgentHeader, QByteArrayLiteral("Tarnlet/" TARNLET_VERSION));
    for (const auto &[name, value] : conditions)
        httpRequest.setRawHeader(name, value);
    httpRequest.setTransferTimeout(shared->endpoint.transferTimeoutMs);
    // Redirects are checked here, so that none carries the token to another origin.
    httpRequest.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
    if (shared->sslConfiguration)
        httpRequest.setSslConfiguration(*shared->sslConfiguration);

    QNetworkReply *reply = shared->network->get(httpRequest);
    request.setOnAbort([guard = QPointer<QNetworkReply>(reply)] {
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
        if (request.isAborted())
            return;
        if (*tooLarge)
            return done(GitHubError::tooLarge());
        const QVariant statusAttribute = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
        if (statusAttribute.isValid()) {
            const int status = statusAttribute.toInt();
            if (isRedirect(status) && reply->hasRawHeader("Location")) {
                const QUrl target = url.resolved(QUrl::fromEncoded(reply->rawHeader("Location")));
                if (!isApiOrigin(target, shared->endpoint.apiRoot))
                    return done(GitHubError::refused());
                if (redirectsLeft == 0)
                    return done(GitHubError::http(status));
                return run(shared, target, token, conditions, redirectsLeft - 1, request, done);
            }
            judgeToken(*shared, token, status);
            if (const std::optional<QDateTime> until = waitAskedFor(status, *reply)) {
                if (shared->credentials)
                    shared->credentials->markLimited(token, *until);
                return done(GitHubError::rateLimited(until->toSecsSinceEpoch()));
            }
            const bool unchanged = status == 304 && !conditions.isEmpty();
            if ((status < 200 || status > 299) && !unchanged)
                return done(GitHubError::http(status));
        }
        if (reply->error() != QNetworkReply::NoError)
            return done(GitHubError::transport(reply->error(), reply->errorString()));
        if (!statusAttribute.isValid())
            return done(GitHubError::invalidResponse());
        done(GitHubResponse { statusAttribute.toInt(), reply->readAll(), reply->rawHeaderPairs() });
    });
}

GitHubClient::GitHubClient(QNetworkAccessManager &network, GitHubCredentials &credentials)
    : GitHubClient(network, credentials, Endpoint())
{ }

GitHubClient::GitHubClient(QNetworkAccessManager &network, GitHubCredentials &credentials, Endpoint endpoint)
{
    auto shared = std::make_shared<Shared>();
    shared->network = &network;
    shared->credentials = &credentials;
    if (!endpoint.extraTrustedCertificates.isEmpty()) {
        QSslConfiguration configuration = QSslConfiguration::defaultConfiguration();
        configuration.addCaCertificates(endpoint.extraTrustedCertificates);
        shared->sslConfiguration = configuration;
    }
    shared->endpoint = std::move(endpoint);
    m_shared = std::move(shared);
}

GitHubRequest GitHubClient::getBytes(const QString &path, BytesCallback done) const
{
    return getResponse(path, [done = std::move(done)](const GitHubResult<GitHubResponse> &response) {
        if (!response.isOk())
            return done(response.error());
        done(response.value().body);
    });
}

std::optional<QString> GitHubClient::currentToken() const
{
    return m_shared->credentials ? m_shared->credentials->token() : std::nullopt;
}

GitHubRequest GitHubClient::getResponse(const QString &path, ResponseCallback done, const Headers &conditions) const
{
    GitHubRequest request = GitHubRequest::create();
    // Read now, at every request: a token saved or removed meanwhile counts from here on.
    const std::optional<QString> token = currentToken();
    if (!token) {
        GitHubTransfer::failLater(*m_shared, request, std::move(done), GitHubError::missingToken());
        return request;
    }
    // While GitHub has asked to wait, nothing goes out with this token.
    if (const std::optional<QDateTime> until = m_shared->credentials->limitedUntil()) {
        GitHubTransfer::failLater(
            *m_shared, request, std::move(done), GitHubError::rateLimited(until->toSecsSinceEpoch()));
        return request;
    }
    if (!fitsInHeader(*token)) {
        GitHubTransfer::failLater(*m_shared, request, std::move(done), GitHubError::refused());
        return request;
    }
    // RFC 3986 resolution: "notifications" lands right below the root, absolute addresses stay.
    const QUrl reference(path);
    const QUrl url = m_shared->endpoint.apiRoot.resolved(reference);
    if (!reference.isValid() || !isApiOrigin(url, m_shared->endpoint.apiRoot)) {
        GitHubTransfer::failLater(*m_shared, request, std::move(done), GitHubError::refused());
        return request;
    }
    GitHubTransfer::run(m_shared, url, *token, conditions, maximumRedirects, request, std::move(done));
    return request;
}

GitHubRequest GitHubClient::workflowRuns(
    const QString &repo, int perPage, Callback<Polled<QList<WorkflowRun>>> done) const
{
    const QString path
        = QStringLiteral("repos/") + repo + QStringLiteral("/actions/runs?per_page=") + QString::number(perPage);
    return poll<QList<WorkflowRun>>(
        path, QString(), [](const QByteArray &body) { return WorkflowRunsResponse::decode(body).workflowRuns; },
        std::move(done));
}

GitHubRequest GitHubClient::unreadPullRequestNotifications(
    const QStringList &repos, Callback<Polled<QList<GitHubNotification>>> done) const
{
    const auto decode = [repos](const QByteArray &body) {
        QList<GitHubNotification> kept;
        for (GitHubNotification &notification : GitHubNotification::decodeList(body)) {
            if (repos.contains(notification.repository.fullName, Qt::CaseSensitive)
                && notification.subject.type == u"PullRequest")
                kept.append(std::move(notification));
        }
        return kept;
    };
    // The kept answer is filtered for these repositories: for another list it does not stand.
    return poll<QList<GitHubNotification>>(QStringLiteral("notifications"), repos.join(u','), decode, std::move(done));
}

GitHubRequest GitHubClient::pullRequestState(const QString &address, Callback<PullRequestState> done) const
{
    return get<PullRequestState>(address, &PullRequestState::decode, std::move(done));
}

GitHubRequest GitHubClient::currentUser(Callback<GitHubUser> done) const
{
    return getResponse(QStringLiteral("user"), [done = std::move(done)](const GitHubResult<GitHubResponse> &answer) {
        if (!answer.isOk())
            return done(answer.error());
        GitHubUser user;
        try {
            user.login = JsonReader::decodeObject(
                answer.value().body, [](const JsonReader &json) { return json.string("login"); });
        } catch (const JsonDecodeError &error) {
            return done(GitHubError::decode(QString::fromUtf8(error.what())));
        }
        // A classic token names its scopes ("repo, notifications"); a fine-grained one sends no
        // such header at all.
        if (const std::optional<QByteArray> scopes = answer.value().header("X-OAuth-Scopes")) {
            QStringList names;
            for (const QByteArray &scope : scopes->split(',')) {
                if (!scope.trimmed().isEmpty())
                    names.append(QString::fromUtf8(scope.trimmed()));
            }
            user.scopes = names;
        }
        done(user);
    });
}

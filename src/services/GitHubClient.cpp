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

} // namespace

// One GET with everything it needs, alive for as long as its transfers are.
class GitHubTransfer final {
public:
    using Shared = GitHubClient::Shared;

    using Done = GitHubClient::ResponseCallback;

    static void run(std::shared_ptr<const Shared> shared, const QUrl &url, const QString &token, int redirectsLeft,
        GitHubRequest request, Done done);
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
    else if (status >= 200 && status <= 299)
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
    int redirectsLeft, GitHubRequest request, Done done)
{
    if (!shared->network)
        return;
    QNetworkRequest httpRequest(url);
    httpRequest.setRawHeader("Accept", "application/vnd.github+json");
    httpRequest.setRawHeader("X-GitHub-Api-Version", "2022-11-28");
    httpRequest.setRawHeader("Authorization", "Bearer " + token.toUtf8());
    // GitHub turns away requests that carry no User-Agent.
    httpRequest.setHeader(QNetworkRequest::UserAgentHeader, QByteArrayLiteral("Tarnlet/" TARNLET_VERSION));
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
                return run(shared, target, token, redirectsLeft - 1, request, done);
            }
            judgeToken(*shared, token, status);
            if (status < 200 || status > 299)
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

GitHubRequest GitHubClient::getResponse(const QString &path, ResponseCallback done) const
{
    GitHubRequest request = GitHubRequest::create();
    // Read now, at every request: a token saved or removed meanwhile counts from here on.
    const std::optional<QString> token
        = m_shared->credentials ? m_shared->credentials->token() : std::optional<QString>();
    if (!token) {
        GitHubTransfer::failLater(*m_shared, request, std::move(done), GitHubError::missingToken());
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
    GitHubTransfer::run(m_shared, url, *token, maximumRedirects, request, std::move(done));
    return request;
}

GitHubRequest GitHubClient::workflowRuns(const QString &repo, int perPage, Callback<QList<WorkflowRun>> done) const
{
    const QString path
        = QStringLiteral("repos/") + repo + QStringLiteral("/actions/runs?per_page=") + QString::number(perPage);
    return get<QList<WorkflowRun>>(
        path, [](const QByteArray &body) { return WorkflowRunsResponse::decode(body).workflowRuns; }, std::move(done));
}

GitHubRequest GitHubClient::unreadPullRequestNotifications(
    const QStringList &repos, Callback<QList<GitHubNotification>> done) const
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
    return get<QList<GitHubNotification>>(QStringLiteral("notifications"), decode, std::move(done));
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

#pragma once

#include "integrations/github/GitHubResponse.h"
#include "integrations/github/GitHubResult.h"
#include "integrations/github/GitHubServer.h"
#include "services/ApiTransport.h"

class GitHubCredentials;

// Requests to the GitHub REST API, for every part that talks to it: the API transport with
// GitHub's headers (Accept, X-GitHub-Api-Version, the bearer token), its rate-limit answers (403 or
// 429 with Retry-After or a spent x-ratelimit) and the token's end it names. Requests go only to the
// API of the credentials' server (github.com for an anonymous transport) over HTTPS.
class GitHubTransport final {
public:
    // github.com's API unless tests point it at a local server. Another server's API is its own.
    struct Endpoint : ApiTransport::Endpoint {
        Endpoint() { apiRoot = GitHubServer().apiRoot(); }
    };
    using Done = ApiTransport::Done;

    // Anonymous.
    GitHubTransport(QNetworkAccessManager &network, Endpoint endpoint);
    // Authenticated; `credentials` must outlive the requests, once it is gone no token is sent.
    GitHubTransport(QNetworkAccessManager &network, Endpoint endpoint, GitHubCredentials &credentials);

    const ApiTransport &api() const { return m_transport; }
    CancelHandle get(const QString &path, Done done, const HttpValidators &validators = {}) const
    {
        return m_transport.get(path, std::move(done), validators);
    }
    CancelHandle post(const QString &path, Done done) const { return m_transport.post(path, std::move(done)); }
    CancelHandle patch(const QString &path, Done done) const { return m_transport.patch(path, std::move(done)); }
    CancelHandle refuse(const QByteArray &method, Done done) const
    {
        return m_transport.refuse(method, std::move(done));
    }
    std::optional<QString> token() const { return m_transport.token(); }
    quint64 tokenGeneration() const { return m_transport.tokenGeneration(); }

    // The wait an answer asks for (ApiTransport::waitAskedFor for GitHub's statuses 403 and 429).
    static std::optional<qint64> waitAskedFor(const GitHubResponse &answer, const QDateTime &localNow)
    {
        return ApiTransport::waitAskedFor(answer, localNow, { 403, 429 });
    }

private:
    ApiTransport m_transport;
};

#include "integrations/github/GitHubTransport.h"

#include "integrations/github/GitHubCredentials.h"
#include "integrations/github/GitHubLogging.h"

namespace {

ApiTransport::Dialect gitHubDialect()
{
    return { { { "Accept", "application/vnd.github+json" }, { "X-GitHub-Api-Version", "2022-11-28" } }, "Authorization",
        "Bearer ", { 403, 429 }, &lcGitHub };
}

} // namespace

GitHubTransport::GitHubTransport(QNetworkAccessManager &network, Endpoint endpoint)
    : m_transport(network, std::move(endpoint), gitHubDialect())
{ }

GitHubTransport::GitHubTransport(QNetworkAccessManager &network, Endpoint endpoint, GitHubCredentials &credentials)
    : m_transport(network, std::move(endpoint), gitHubDialect(), credentials)
{ }

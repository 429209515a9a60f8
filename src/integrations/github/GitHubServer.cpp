#include "integrations/github/GitHubServer.h"

#include "core/prefs/PreferenceStore.h"
#include "services/ApiTransport.h"
#include "services/ServerAddress.h"

#include <QCoreApplication>

std::optional<GitHubServer> GitHubServer::fromAddress(const QString &address)
{
    const std::optional<ServerAddress> typed = ServerAddress::parse(address);
    if (!typed)
        return std::nullopt;
    if (typed->host.isEmpty()
        || (typed->port == 443 && (typed->host == u"github.com" || typed->host == u"api.github.com")))
        return GitHubServer();
    GitHubServer server;
    server.m_host = typed->host;
    server.m_port = typed->port;
    return server;
}

QString GitHubServer::invalidAddressText()
{
    return QCoreApplication::translate("GitHubServer",
        "Ungültige Serveradresse: bitte nur https:// und den Namen des Servers angeben, etwa "
        "https://github.example.com.");
}

GitHubServer GitHubServer::stored(const PreferenceStore &preferences)
{
    return fromAddress(preferences.stringValue(preferenceKey)).value_or(GitHubServer());
}

void GitHubServer::store(PreferenceStore &preferences) const
{
    if (isGitHubCom())
        preferences.remove(preferenceKey);
    else
        preferences.setValue(preferenceKey, address());
}

QString GitHubServer::address() const
{
    return isGitHubCom() ? QString() : QStringLiteral("https://") + name();
}

QString GitHubServer::name() const
{
    return isGitHubCom() ? QStringLiteral("github.com") : webOrigin().authority();
}

QUrl GitHubServer::webOrigin() const
{
    if (isGitHubCom())
        return QUrl(QStringLiteral("https://github.com/"));
    return ServerAddress { m_host, m_port }.origin();
}

QUrl GitHubServer::apiRoot() const
{
    return isGitHubCom() ? QUrl(QStringLiteral("https://api.github.com/"))
                         : webOrigin().resolved(QUrl(QStringLiteral("api/v3/")));
}

QString GitHubServer::tokenAccount() const
{
    const QString gitHubCom = QStringLiteral("github.pat");
    return isGitHubCom() ? gitHubCom : gitHubCom + u'@' + name();
}

bool GitHubServer::isOnOrigin(const QUrl &url, const QUrl &origin)
{
    return ApiTransport::isOnOrigin(url, origin);
}

bool GitHubServer::isWebPage(const QUrl &url) const
{
    return isOnOrigin(url, webOrigin()) && url.userInfo().isEmpty();
}

std::optional<QString> GitHubServer::apiPath(const QUrl &address) const
{
    const QUrl root = apiRoot();
    const QString path = address.path();
    if (!isOnOrigin(address, root) || !address.userInfo().isEmpty() || !path.startsWith(root.path()))
        return std::nullopt;
    return path.mid(root.path().size());
}

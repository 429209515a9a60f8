#include "integrations/gitlab/GitLabServer.h"

#include "core/prefs/PreferenceStore.h"
#include "services/ApiTransport.h"
#include "services/ServerAddress.h"

#include <QCoreApplication>

std::optional<GitLabServer> GitLabServer::fromAddress(const QString &address)
{
    const std::optional<ServerAddress> typed = ServerAddress::parse(address);
    if (!typed)
        return std::nullopt;
    if (typed->host.isEmpty() || (typed->port == 443 && typed->host == u"gitlab.com"))
        return GitLabServer();
    GitLabServer server;
    server.m_host = typed->host;
    server.m_port = typed->port;
    return server;
}

QString GitLabServer::invalidAddressText()
{
    return QCoreApplication::translate("GitLabServer",
        "Ungültige Serveradresse: bitte nur https:// und den Namen des Servers angeben, etwa "
        "https://gitlab.example.com.");
}

GitLabServer GitLabServer::stored(const PreferenceStore &preferences)
{
    return fromAddress(preferences.stringValue(preferenceKey)).value_or(GitLabServer());
}

void GitLabServer::store(PreferenceStore &preferences) const
{
    if (isGitLabCom())
        preferences.remove(preferenceKey);
    else
        preferences.setValue(preferenceKey, address());
}

QString GitLabServer::address() const
{
    return isGitLabCom() ? QString() : QStringLiteral("https://") + name();
}

QString GitLabServer::name() const
{
    return isGitLabCom() ? QStringLiteral("gitlab.com") : webOrigin().authority();
}

QUrl GitLabServer::webOrigin() const
{
    return ServerAddress { isGitLabCom() ? QStringLiteral("gitlab.com") : m_host, m_port }.origin();
}

QUrl GitLabServer::apiRoot() const
{
    return webOrigin().resolved(QUrl(QStringLiteral("api/v4/")));
}

QString GitLabServer::tokenAccount() const
{
    const QString gitLabCom = QStringLiteral("gitlab.pat");
    return isGitLabCom() ? gitLabCom : gitLabCom + u'@' + name();
}

bool GitLabServer::isWebPage(const QUrl &url) const
{
    return ApiTransport::isOnOrigin(url, webOrigin()) && url.userInfo().isEmpty();
}

#include "integrations/github/GitHubServer.h"

#include "core/prefs/PreferenceStore.h"
#include "services/ApiTransport.h"

#include <QCoreApplication>

std::optional<GitHubServer> GitHubServer::fromAddress(const QString &address)
{
    const QString text = address.trimmed();
    if (text.isEmpty())
        return GitHubServer();
    const QUrl url(text, QUrl::StrictMode);
    if (!url.isValid() || url.scheme() != u"https" || url.host().isEmpty() || !url.userInfo().isEmpty()
        || url.hasQuery() || url.hasFragment() || (!url.path().isEmpty() && url.path() != u"/"))
        return std::nullopt;
    const int port = url.port(443);
    if (port == 443 && (url.host() == u"github.com" || url.host() == u"api.github.com"))
        return GitHubServer();
    GitHubServer server;
    server.m_host = url.host();
    server.m_port = port;
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
    QUrl origin;
    origin.setScheme(QStringLiteral("https"));
    origin.setHost(m_host);
    if (m_port != 443)
        origin.setPort(m_port);
    origin.setPath(QStringLiteral("/"));
    return origin;
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

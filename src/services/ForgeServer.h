#pragma once

#include "core/prefs/PreferenceStore.h"
#include "services/ApiTransport.h"
#include "services/ServerAddress.h"

#include <QString>
#include <QUrl>

#include <optional>

// The server a forge account lives on: the forge's public one, or the user's own at an https
// address. Every rule that pins the forge asks it: where the API is, which pages may be opened, and
// which secret-store item holds the token. `Forge` names the public server (`isPublicHost`,
// `publicHost`) and its API root (`publicApiRoot`, or empty for the API below the web origin),
// the API's path on the user's own server (`apiPath`), the token's item (`tokenItem`), the
// preference that keeps the address (`preferenceKey`) and the words for an address refused
// (`invalidAddressText`).
template<typename Forge> class ForgeServer final {
public:
    // The preference holding the server's address; the public server when absent or empty.
    static inline const QString preferenceKey = QString::fromLatin1(Forge::preferenceKey);

    // The public server.
    ForgeServer() = default;

    // The server at an address as typed ("https://forge.example.com", a trailing slash allowed):
    // https with a host and maybe a port, nothing else. Empty text and the public server's own
    // addresses are the public server. None for any other address.
    static std::optional<ForgeServer> fromAddress(const QString &address)
    {
        const std::optional<ServerAddress> typed = ServerAddress::parse(address);
        if (!typed)
            return std::nullopt;
        ForgeServer server;
        if (!typed->host.isEmpty() && !(typed->port == 443 && Forge::isPublicHost(typed->host))) {
            server.m_host = typed->host;
            server.m_port = typed->port;
        }
        return server;
    }
    // What to say about an address fromAddress() refuses.
    static QString invalidAddressText() { return Forge::invalidAddressText(); }
    // The server kept in the preferences; the public one when none (or an unusable one) is kept.
    static ForgeServer stored(const PreferenceStore &preferences)
    {
        return fromAddress(preferences.stringValue(preferenceKey)).value_or(ForgeServer());
    }
    // Keeps this server in the preferences (the public one by removing the key).
    void store(PreferenceStore &preferences) const
    {
        if (isPublic())
            preferences.remove(preferenceKey);
        else
            preferences.setValue(preferenceKey, address());
    }

    bool isPublic() const { return m_host.isEmpty(); }
    // "https://forge.example.com" (a port where it is not 443); empty for the public server.
    QString address() const { return isPublic() ? QString() : QStringLiteral("https://") + name(); }
    // The public server's host, or the server's host with a port where it is not 443.
    QString name() const { return webOrigin().authority(); }
    // https://<host>/: where pages open.
    QUrl webOrigin() const
    {
        return ServerAddress { isPublic() ? QString::fromLatin1(Forge::publicHost) : m_host, m_port }.origin();
    }
    // Where the API's paths start.
    QUrl apiRoot() const
    {
        if (isPublic() && *Forge::publicApiRoot)
            return QUrl(QString::fromLatin1(Forge::publicApiRoot));
        return webOrigin().resolved(QUrl(QString::fromLatin1(Forge::apiPath)));
    }
    // The secret-store account of this server's token: the forge's item for the public server,
    // "<item>@<name>" for another, so that items for several servers can exist side by side.
    QString tokenAccount() const
    {
        const QString item = QString::fromLatin1(Forge::tokenItem);
        return isPublic() ? item : item + u'@' + name();
    }
    // An https page on the web origin, without user info.
    bool isWebPage(const QUrl &url) const
    {
        return ApiTransport::isOnOrigin(url, webOrigin()) && url.userInfo().isEmpty();
    }
    // The path of `address` below the API root ("repos/o/n/pulls/7") when it lies there on the
    // API's origin over https; none otherwise.
    std::optional<QString> apiPath(const QUrl &address) const
    {
        const QUrl root = apiRoot();
        const QString path = address.path();
        if (!ApiTransport::isOnOrigin(address, root) || !address.userInfo().isEmpty() || !path.startsWith(root.path()))
            return std::nullopt;
        return path.mid(root.path().size());
    }

    friend bool operator==(const ForgeServer &, const ForgeServer &) = default;

private:
    QString m_host; // empty for the public server
    int m_port = 443;
};

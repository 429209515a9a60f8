#pragma once

#include <QString>
#include <QUrl>

#include <optional>

// The origin of a self-hosted server as the user types it in an account pane: https with a host
// and maybe a port, nothing else (a trailing slash allowed). Every forge's server rule starts here.
struct ServerAddress {
    QString host;
    int port = 443;

    // None for any other text; empty text gives an empty host (the service's public server).
    static std::optional<ServerAddress> parse(const QString &address)
    {
        const QString text = address.trimmed();
        if (text.isEmpty())
            return ServerAddress { {}, 443 };
        const QUrl url(text, QUrl::StrictMode);
        if (!url.isValid() || url.scheme() != u"https" || url.host().isEmpty() || !url.userInfo().isEmpty()
            || url.hasQuery() || url.hasFragment() || (!url.path().isEmpty() && url.path() != u"/"))
            return std::nullopt;
        return ServerAddress { url.host(), url.port(443) };
    }

    // "https://host/" or "https://host:port/".
    QUrl origin() const
    {
        QUrl origin;
        origin.setScheme(QStringLiteral("https"));
        origin.setHost(host);
        if (port != 443)
            origin.setPort(port);
        origin.setPath(QStringLiteral("/"));
        return origin;
    }
};

#include "integrations/docker/DockerEndpoint.h"

#include "core/PlainText.h"

#include <QCoreApplication>
#include <QUrl>

namespace {

// This machine by name or address; nothing on the way can read or change what is sent there.
bool isLoopback(const QString &host)
{
    return host == u"localhost" || host.startsWith(u"127.") || host == u"::1";
}

} // namespace

std::variant<DockerEndpoint, QString> DockerEndpoint::parse(const QString &host, std::optional<Tls> tls)
{
    const QUrl url(host, QUrl::StrictMode);
    const QString scheme = url.scheme();
    const bool pathless = url.path().isEmpty() || url.path() == u"/";
    if (scheme == u"unix" && url.isValid() && url.host().isEmpty() && url.path().startsWith(u'/'))
        return unixSocket(url.path());
    if (scheme == u"tcp" && url.isValid() && !url.host().isEmpty() && pathless && url.userInfo().isEmpty()) {
        const QString address = (url.host().contains(u':') ? u'[' + url.host() + u']' : url.host()) + u':'
            + QString::number(url.port(tls ? 2376 : 2375));
        if (!tls && !isLoopback(url.host()))
            return QCoreApplication::translate(
                "DockerEndpoint", "Unverschlüsselte Verbindung zu %1 abgelehnt: ohne TLS nur zu diesem Rechner.")
                .arg(address);
        return DockerEndpoint { Kind::Tcp, address, 0, std::move(tls) };
    }
    if (scheme == u"ssh" && url.isValid() && !url.host().isEmpty() && pathless && url.password().isEmpty()) {
        const QString login = url.userName().isEmpty() ? url.host() : url.userName() + u'@' + url.host();
        return DockerEndpoint { Kind::Ssh, login, std::max(url.port(), 0) };
    }
    return QCoreApplication::translate(
        "DockerEndpoint", "Adresse „%1“ wird nicht unterstützt (unix://, tcp:// oder ssh://).")
        .arg(PlainText::clean(host));
}

QStringList DockerEndpoint::curlArguments() const
{
    switch (kind) {
    case Kind::Unix:
        return { QStringLiteral("--unix-socket"), address };
    case Kind::Ssh:
        return {}; // reached through the socket its forward makes, a Unix endpoint
    case Kind::Tcp:
        break;
    }
    QStringList arguments;
    if (tls) {
        // curl's own TLS: the engine's certificate checked against the given authority (or the
        // system's), with the client's certificate where there is one.
        const std::pair<const char *, QString> files[]
            = { { "--cacert", tls->ca }, { "--cert", tls->cert }, { "--key", tls->key } };
        for (const auto &[option, file] : files) {
            if (!file.isEmpty())
                arguments << QString::fromLatin1(option) << file;
        }
    }
    return arguments;
}

QString DockerEndpoint::urlBase() const
{
    if (kind == Kind::Tcp)
        return (tls ? QStringLiteral("https://") : QStringLiteral("http://")) + address;
    return QStringLiteral("http://localhost");
}

QString DockerEndpoint::display() const
{
    switch (kind) {
    case Kind::Unix:
        return QStringLiteral("unix://") + address;
    case Kind::Tcp:
        return QStringLiteral("tcp://") + address + (tls ? QStringLiteral(" (TLS)") : QString());
    case Kind::Ssh:
        return QStringLiteral("ssh://") + address + (port > 0 ? u':' + QString::number(port) : QString());
    }
    return {};
}

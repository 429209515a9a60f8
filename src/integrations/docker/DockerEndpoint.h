#pragma once

#include <QString>
#include <QStringList>

#include <optional>
#include <variant>

// Where a Docker engine listens, in the forms the docker CLI accepts for DOCKER_HOST and a
// context's endpoint: a unix socket, a TCP address (with TLS, or plain to this machine only), or
// an SSH login whose engine socket is forwarded to a local one.
struct DockerEndpoint {
    enum class Kind { Unix, Tcp, Ssh };
    // The files of a TLS connection, by path; each may be empty (no client certificate, the
    // system's authorities).
    struct Tls {
        QString ca;
        QString cert;
        QString key;
        friend bool operator==(const Tls &, const Tls &) = default;
    };

    Kind kind = Kind::Unix;
    // Unix: the socket's path. Tcp: "host:port". Ssh: "[user@]host".
    QString address;
    int port = 0; // Ssh only; 0 leaves it to ssh and the user's ~/.ssh/config
    std::optional<Tls> tls = {};

    static DockerEndpoint unixSocket(QString path) { return { Kind::Unix, std::move(path) }; }

    // Reads a DOCKER_HOST-style address ("unix:///run/docker.sock", "tcp://host:2376",
    // "ssh://user@host:22"); `tls` goes with a tcp address. A plain tcp address to another machine
    // is refused, since anyone on the way could command the engine. On failure, why, in the user's
    // language.
    static std::variant<DockerEndpoint, QString> parse(const QString &host, std::optional<Tls> tls);

    // curl's arguments that reach the engine, put before the URL; and the URL's start, to which
    // the request's path is appended.
    QStringList curlArguments() const;
    QString urlBase() const;
    // The address as the user wrote it, for the pane ("tcp://build:2376 (TLS)").
    QString display() const;

    friend bool operator==(const DockerEndpoint &, const DockerEndpoint &) = default;
};

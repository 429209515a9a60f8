#pragma once

#include <QCoreApplication>
#include <QString>
#include <QUrl>

#include <variant>

// What lets a feed be read that is nobody else's business: a token in the address's query
// (Buildkite, CircleCI) and a user name with a password or API token (Jenkins). Kept in the secret
// store, one item per feed, as a small JSON object; never in the preferences or a log.
struct CCTrayCredentials {
    QString query; // without its "?"
    QString user;
    QString password;

    bool isEmpty() const { return query.isEmpty() && user.isEmpty() && password.isEmpty(); }
    QString encode() const;
    // None-like (empty) for a text that is no such object.
    static CCTrayCredentials decode(const QString &text);

    friend bool operator==(const CCTrayCredentials &, const CCTrayCredentials &) = default;
};

// A feed's address as the user gives it, split into the part that may be kept and shown (scheme,
// host, port and path) and its credentials (the query, a user name and password in the address).
// Credentials go only to the feed's own origin, and only over HTTPS or to this computer.
struct CCTrayFeedAddress {
    Q_DECLARE_TR_FUNCTIONS(CCTrayFeedAddress)

public:
    QUrl url; // without query, fragment or user name

    struct Refusal {
        QString reason;
    };
    // `user` and `password` are typed beside the address and join those it carries.
    static std::variant<std::pair<CCTrayFeedAddress, CCTrayCredentials>, Refusal> parse(
        const QString &input, const QString &user = {}, const QString &password = {});
    // A kept address read back (from the preferences); invalid where it is none parse() gives.
    static CCTrayFeedAddress stored(const QString &text);

    bool isValid() const { return url.isValid() && !url.host().isEmpty(); }
    bool isEncrypted() const { return url.scheme() == u"https"; }
    bool isLoopback() const;
    bool mayCarryCredentials() const { return isEncrypted() || isLoopback(); }
    // As kept in the preferences and shown in the pane.
    QString text() const { return url.toString(QUrl::FullyEncoded); }
    // What the log and short lines name: host (and port) and path.
    QString hostAndPath() const;
    // The address asked, with the credentials' query.
    QUrl requestUrl(const CCTrayCredentials &credentials) const;
    // The secret store's account of the feed's item.
    QString secretAccount() const { return QStringLiteral("ci-feed:") + text(); }
    // Whether `target` lies on the feed's origin (scheme, host and port).
    bool isOnOrigin(const QUrl &target) const;
};

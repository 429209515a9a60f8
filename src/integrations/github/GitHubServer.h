#pragma once

#include <QString>
#include <QUrl>

#include <optional>

class PreferenceStore;

// The GitHub the account lives on: github.com, or a GitHub Enterprise Server at an https address
// of its own. Every rule that pins GitHub asks it: where the API is, which pages may be opened,
// and which secret-store item holds the token.
class GitHubServer final {
public:
    // The preference holding the server's address; github.com when absent or empty.
    static inline const QString preferenceKey = QStringLiteral("github.server");

    // github.com.
    GitHubServer() = default;

    // The server at an address as typed ("https://github.example.com", a trailing slash allowed):
    // https with a host and maybe a port, nothing else. Empty text, https://github.com and
    // https://api.github.com are github.com. None for any other address.
    static std::optional<GitHubServer> fromAddress(const QString &address);
    // What to say about an address fromAddress() refuses.
    static QString invalidAddressText();
    // The server kept in the preferences; github.com when none (or an unusable one) is kept.
    static GitHubServer stored(const PreferenceStore &preferences);
    // Keeps this server in the preferences (github.com by removing the key).
    void store(PreferenceStore &preferences) const;

    bool isGitHubCom() const { return m_host.isEmpty(); }
    // "https://github.example.com" (a port where it is not 443); empty for github.com.
    QString address() const;
    // "github.com", or the server's host with a port where it is not 443.
    QString name() const;
    // https://github.com/ or <server>/: where pages open.
    QUrl webOrigin() const;
    // https://api.github.com/ or <server>/api/v3/.
    QUrl apiRoot() const;
    // The secret-store account of this server's token: "github.pat" for github.com,
    // "github.pat@<name>" for another server, so that both items can exist side by side.
    QString tokenAccount() const;

    // An https page on the web origin, without user info.
    bool isWebPage(const QUrl &url) const;
    // The path of `address` below the API root ("repos/o/n/pulls/7") when it lies there on the
    // API's origin over https; none otherwise.
    std::optional<QString> apiPath(const QUrl &address) const;
    // Whether `url` is an https address on the scheme, host and port of `origin` (an https URL).
    static bool isOnOrigin(const QUrl &url, const QUrl &origin);

    friend bool operator==(const GitHubServer &, const GitHubServer &) = default;

private:
    QString m_host; // empty for github.com
    int m_port = 443;
};

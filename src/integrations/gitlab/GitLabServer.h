#pragma once

#include <QString>
#include <QUrl>

#include <optional>

class PreferenceStore;

// The GitLab the account lives on: gitlab.com, or a self-managed server at an https address of
// its own. Every rule that pins GitLab asks it: where the API is, which pages may be opened, and
// which secret-store item holds the token.
class GitLabServer final {
public:
    // The preference holding the server's address; gitlab.com when absent or empty.
    static inline const QString preferenceKey = QStringLiteral("gitlab.server");

    // gitlab.com.
    GitLabServer() = default;

    // The server at an address as typed ("https://gitlab.example.com", a port allowed): https with a
    // host and nothing else. Empty text and https://gitlab.com are gitlab.com. None for any other.
    static std::optional<GitLabServer> fromAddress(const QString &address);
    static QString invalidAddressText();
    // The server kept in the preferences; gitlab.com when none (or an unusable one) is kept.
    static GitLabServer stored(const PreferenceStore &preferences);
    // Keeps this server in the preferences (gitlab.com by removing the key).
    void store(PreferenceStore &preferences) const;

    bool isGitLabCom() const { return m_host.isEmpty(); }
    // "https://gitlab.example.com" (a port where it is not 443); empty for gitlab.com.
    QString address() const;
    // "gitlab.com", or the server's host with a port where it is not 443.
    QString name() const;
    // https://gitlab.com/ or <server>/: where pages open.
    QUrl webOrigin() const;
    // <web origin>/api/v4/.
    QUrl apiRoot() const;
    // The secret-store account of this server's token: "gitlab.pat" for gitlab.com,
    // "gitlab.pat@<name>" for another server, so that items for several servers can exist side by side.
    QString tokenAccount() const;
    // An https page on the web origin, without user info.
    bool isWebPage(const QUrl &url) const;

    friend bool operator==(const GitLabServer &, const GitLabServer &) = default;

private:
    QString m_host; // empty for gitlab.com
    int m_port = 443;
};

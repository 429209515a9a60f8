#pragma once

#include "integrations/github/GitHubServer.h"
#include "services/ApiCredentials.h"

#include <QDateTime>

#include <optional>

// The GitHub token with the server it belongs to (github.com or an Enterprise Server), and the end
// GitHub names for a token that expires.
class GitHubCredentials final : public ApiCredentials {
    Q_OBJECT
public:
    explicit GitHubCredentials(std::optional<QString> token = std::nullopt, QObject *parent = nullptr);

    const GitHubServer &server() const { return m_server; }
    // Moves to `server` with what the secret store holds for it; the previous server's token,
    // refusal and wait go at once. The same server only takes the stored token.
    void useServer(const GitHubServer &server, const SecretStore::ReadResult &stored);
    std::optional<QUrl> ownApiRoot() const override;
    // Reads the token's end from an answer that names it.
    void noteAccepted(const QString &token, const ApiResponse &answer) override;

    // The end in GitHub's header "github-authentication-token-expiration" ("2026-01-12 09:30:00
    // UTC", or with an offset such as "+0100" or "-08:00", at most 14 hours); none when absent or
    // unreadable.
    static std::optional<QDateTime> expiryFromHeader(const QByteArray &value);

private:
    GitHubServer m_server;
};

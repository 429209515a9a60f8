#pragma once

#include "integrations/gitlab/GitLabServer.h"
#include "services/ApiCredentials.h"

// The GitLab token with the server it belongs to (gitlab.com or a self-managed server).
class GitLabCredentials final : public ApiCredentials {
    Q_OBJECT
public:
    explicit GitLabCredentials(std::optional<QString> token = std::nullopt, QObject *parent = nullptr);

    const GitLabServer &server() const { return m_server; }
    // Moves to `server` with what the secret store holds for it; the previous server's token,
    // refusal and wait go at once. The same server only takes the stored token.
    void useServer(const GitLabServer &server, const SecretStore::ReadResult &stored);
    std::optional<QUrl> ownApiRoot() const override;
    // GitLab names the token's end only when asked (GitLabAccount); each answer after that still
    // counts as noting it, so the warning looks at the clock as often as GitHub's does.
    void noteAccepted(const QString &token, const ApiResponse &answer) override;

private:
    GitLabServer m_server;
};

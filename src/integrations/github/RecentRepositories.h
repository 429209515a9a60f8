#pragma once

#include "core/CancelHandle.h"
#include "core/ListSuggestions.h"

class GitHubApi;
class GitHubCredentials;

// The repositories the token's account pushed to last, offered beside the field of the watched
// repositories. Asked through the GitHub client while a pane shows them and a token is held:
// when the pane shows, and again for each new token; never on a timer. A failed answer leaves
// none.
class RecentRepositories final : public ListSuggestions {
    Q_OBJECT
public:
    static constexpr int count = 10;

    // `api` and `credentials` must outlive the suggestions.
    RecentRepositories(const GitHubApi &api, const GitHubCredentials &credentials, QObject *parent = nullptr);
    ~RecentRepositories() override { m_request.cancel(); }

    QStringList names() const override { return m_names; }
    void setShown(bool shown) override;

private:
    void ask();
    void take(QStringList names);

    const GitHubApi &m_api;
    const GitHubCredentials &m_credentials;
    bool m_shown = false;
    quint64 m_askedFor = 0; // the token generation the names are about
    QStringList m_names;
    CancelHandle m_request;
};

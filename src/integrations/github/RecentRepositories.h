#pragma once

#include "integrations/github/GitHubApi.h"
#include "services/RecentNames.h"

class GitHubCredentials;

// The repositories the token's account pushed to last, offered beside the field of the watched
// repositories.
class RecentRepositories final : public RecentNames {
public:
    // `api` and `credentials` must outlive the suggestions.
    RecentRepositories(const GitHubApi &api, const GitHubCredentials &credentials, QObject *parent = nullptr)
        : RecentNames(
            credentials, [&api](int asked, Done done) { return api.recentRepositories(asked, std::move(done)); },
            parent)
    { }
};

// The answer to GET /user/repos: the names of the account's recently pushed repositories.
#include "FuzzInput.h"

#include "integrations/github/GitHubClient.h"
#include "integrations/github/GitHubRepository.h"
#include "integrations/github/GitHubServer.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    decodeOrRefuse([&] {
        for (const QString &name : GitHubClient::decodeRepositoryNames(fuzzBytes(data, size))) {
            const ModuleListSetting::Normalized normalized = GitHubRepository::normalize(name, GitHubServer());
            fuzzCheck(std::get_if<QString>(&normalized) && std::get<QString>(normalized) == name,
                "every name kept is a repository's name as the list stores it");
        }
    });
    return 0;
}

// A GitLab project, a list of projects, the user and the token's end, as API v4 answers them: the
// same input is tried on each decoder.
#include "FuzzInput.h"

#include "integrations/gitlab/GitLabClient.h"
#include "integrations/gitlab/GitLabProjects.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = fuzzBytes(data, size);
    decodeOrRefuse([&] { fuzzCheck(GitLabProject::decode(bytes).webUrl.isValid(), "a project has a valid page"); });
    decodeOrRefuse([&] {
        for (const QString &path : GitLabProject::decodePaths(bytes))
            GitLabProjects::isPath(path);
    });
    decodeOrRefuse([&] { GitLabClient::decodeUser(bytes); });
    decodeOrRefuse([&] {
        if (const std::optional<QDateTime> end = GitLabClient::decodeTokenEnd(bytes))
            fuzzCheck(end->isValid(), "an end is a moment");
    });
    return 0;
}

// A GitLab project, a list of projects and the user, as API v4 answers them: the same input is
// tried on each decoder.
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
    return 0;
}

// The latest release, as the Releases API describes it to the update check.
#include "FuzzInput.h"

#include "updates/GitHubReleaseUpdater.h"

#include <algorithm>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    decodeOrRefuse([&] {
        const GitHubReleaseUpdater::Release release = GitHubReleaseUpdater::decodeRelease(fuzzBytes(data, size));
        // A version is compared only when the tag holds a number.
        fuzzCheck(release.version.isNull() || std::any_of(release.versionText.cbegin(), release.versionText.cend(),
                                                  [](QChar c) { return c.isDigit(); }),
            "a version comes from a number in the tag");
    });
    return 0;
}

// The latest release, as the Releases API describes it to the update check.
#include "FuzzInput.h"

#include "updates/GitHubReleaseUpdater.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    decodeOrRefuse([&] {
        const GitHubReleaseUpdater::Release release = GitHubReleaseUpdater::decodeRelease(fuzzBytes(data, size));
        // A version is compared only when its text was plain numbers.
        fuzzCheck(
            release.version.isNull() || QVersionNumber::fromString(release.versionText).normalized() == release.version,
            "a version compared is the one the tag names");
    });
    return 0;
}

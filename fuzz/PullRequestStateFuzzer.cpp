// A pull request, read for whether and when it was merged.
#include "FuzzInput.h"

#include "integrations/github/GitHubNotification.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    decodeOrRefuse([&] {
        const PullRequestState state = PullRequestState::decode(fuzzBytes(data, size));
        fuzzCheck(!state.mergedAt || state.mergedAt->isValid(), "a merge time is a valid time");
    });
    return 0;
}

// The list of a repository's workflow runs, as the Actions API answers it.
#include "FuzzInput.h"

#include "integrations/github/WorkflowRun.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    decodeOrRefuse([&] {
        for (const WorkflowRun &run : WorkflowRunsResponse::decode(fuzzBytes(data, size)).workflowRuns)
            fuzzCheck(run.createdAt.isValid() && run.updatedAt.isValid() && run.htmlURL.isValid(),
                "a decoded run has valid dates and a valid address");
    });
    return 0;
}

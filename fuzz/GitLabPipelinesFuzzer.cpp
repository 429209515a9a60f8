// The list of a GitLab project's pipelines, as API v4 answers it.
#include "FuzzInput.h"

#include "integrations/gitlab/GitLabRecords.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    decodeOrRefuse([&] {
        for (const GitLabPipeline &pipeline : GitLabPipeline::decodeList(fuzzBytes(data, size)))
            fuzzCheck(pipeline.createdAt.isValid() && pipeline.webUrl.isValid()
                    && (!pipeline.updatedAt || pipeline.updatedAt->isValid()),
                "a decoded pipeline has valid dates and a valid address");
    });
    return 0;
}

// The user's pending GitLab to-dos, as API v4 answers them.
#include "FuzzInput.h"

#include "integrations/gitlab/GitLabRecords.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    decodeOrRefuse([&] {
        for (const GitLabTodo &todo : GitLabTodo::decodeList(fuzzBytes(data, size)))
            fuzzCheck(todo.createdAt.isValid() && (!todo.targetUrl || todo.targetUrl->isValid()),
                "a decoded to-do has a valid date and, where named, a valid address");
    });
    return 0;
}

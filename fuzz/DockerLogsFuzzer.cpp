// A container's log as the engine's log endpoint sends it: framed (no terminal) and raw.
#include "FuzzInput.h"

#include "integrations/docker/DockerLogs.h"

#include <algorithm>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = fuzzBytes(data, size);
    const QByteArray raw = DockerLogs::decodeFrames(bytes, true);
    fuzzCheck(bytes.endsWith(raw) && raw.size() <= DockerLogs::maxBytes, "a raw log keeps its end within the bound");
    const QByteArray framed = DockerLogs::decodeFrames(bytes, false);
    fuzzCheck(framed.size() <= std::min(bytes.size(), DockerLogs::maxBytes),
        "a framed log's text is no longer than what came, nor than the bound");
    return 0;
}

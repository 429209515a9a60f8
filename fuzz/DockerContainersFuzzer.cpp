// The Docker engine's container list.
#include "FuzzInput.h"

#include "integrations/docker/DockerContainer.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    decodeOrRefuse([&] { DockerContainer::decodeList(fuzzBytes(data, size)); });
    return 0;
}

// The Docker engine's answer when it refuses to start or stop a container.
#include "FuzzInput.h"

#include "integrations/docker/DockerClient.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    DockerClient::refusalMessage(fuzzBytes(data, size));
    return 0;
}

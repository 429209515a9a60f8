// The Docker engine's event stream, line by line as the process runner hands it over.
#include "FuzzInput.h"

#include "core/PlainText.h"
#include "integrations/docker/DockerEvents.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    for (const QByteArray &line : fuzzBytes(data, size).split('\n')) {
        const std::optional<DockerEvent> event = DockerEvents::decodeLine(line);
        if (!event)
            continue;
        fuzzCheck(!event->id.isEmpty(), "an event names its container");
        fuzzCheck(PlainText::clean(event->action) == event->action && PlainText::clean(event->id) == event->id
                && PlainText::clean(event->name) == event->name,
            "the engine's words come cleaned");
    }
    return 0;
}

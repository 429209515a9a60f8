#include "modules/docker/DockerNews.h"

void DockerNews::stopAsked(const QString &containerId)
{
    m_containers[containerId].stopAsked = true;
}

std::optional<DockerNews::Death> DockerNews::take(const DockerEvent &event)
{
    using Cause = Death::Cause;
    const QString &action = event.action;
    if (action == u"destroy") {
        m_containers.remove(event.id);
        return std::nullopt;
    }
    Container &container = m_containers[event.id];
    if (action == u"start") {
        container = {};
    } else if (action == u"kill" || action == u"stop") {
        container.stopAsked = true;
    } else if (action == u"oom") {
        container.outOfMemory = true;
    } else if (action == u"die") {
        const Container before = std::exchange(container, {});
        const int exitCode = event.exitCode.value_or(0);
        if (before.stopAsked)
            return std::nullopt;
        if (before.outOfMemory)
            return Death { Cause::OutOfMemory, event.id, event.name, exitCode };
        if (exitCode != 0)
            return Death { Cause::Exited, event.id, event.name, exitCode };
    } else if (action == u"health_status: unhealthy") {
        return Death { Cause::Unhealthy, event.id, event.name, 0 };
    }
    return std::nullopt;
}

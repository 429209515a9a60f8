#include "modules/docker/DockerNews.h"

void DockerNews::stopAsked(const QString &containerId)
{
    m_containers[containerId].stopAsked = true;
}

namespace {

bool isHealth(const QString &action)
{
    return action.startsWith(u"health_status");
}

} // namespace

bool DockerNews::repeats(const DockerEvent &event) const
{
    const auto container = m_containers.constFind(event.id);
    return isHealth(event.action) && container != m_containers.cend() && container->health == event.action;
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
    } else if (isHealth(action)) {
        if (std::exchange(container.health, action) != action && action == u"health_status: unhealthy")
            return Death { Cause::Unhealthy, event.id, event.name, 0 };
    }
    return std::nullopt;
}

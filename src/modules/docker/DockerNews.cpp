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

std::optional<DockerNews::Death> DockerNews::ended(Death death, double now)
{
    QList<double> &ends = m_badEnds[death.containerId];
    while (!ends.isEmpty() && now - ends.first() >= loopSeconds)
        ends.removeFirst();
    ends.append(now);
    death.inLoop = int(ends.size());
    return death;
}

int DockerNews::loopCount(const QString &containerId, double now) const
{
    const QList<double> ends = m_badEnds.value(containerId);
    if (ends.size() < 2 || now - ends.last() >= loopSeconds)
        return 0;
    return int(ends.size());
}

std::optional<double> DockerNews::nextLoopEnd(double now) const
{
    std::optional<double> next;
    for (const QList<double> &ends : m_badEnds) {
        if (ends.size() >= 2 && now - ends.last() < loopSeconds)
            next = std::min(next.value_or(ends.last() + loopSeconds), ends.last() + loopSeconds);
    }
    return next;
}

std::optional<DockerNews::Death> DockerNews::take(const DockerEvent &event, double now)
{
    using Cause = Death::Cause;
    const QString &action = event.action;
    if (action == u"destroy") {
        m_containers.remove(event.id);
        m_badEnds.remove(event.id);
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
            return ended(Death { Cause::OutOfMemory, event.id, event.name, exitCode }, now);
        if (exitCode != 0)
            return ended(Death { Cause::Exited, event.id, event.name, exitCode }, now);
    } else if (isHealth(action)) {
        if (std::exchange(container.health, action) != action && action == u"health_status: unhealthy")
            return Death { Cause::Unhealthy, event.id, event.name, 0, 1 };
    }
    return std::nullopt;
}

#pragma once

#include "integrations/docker/DockerEvents.h"

#include <QHash>
#include <QString>

#include <optional>

// Tells from the engine's events which container ended badly: an exit with a non-zero code
// nobody asked for (no kill or stop event, no stop from Tarnlet before it), an exit after the
// kernel ran out of memory for it, or a health check turning unhealthy. Each such event is news
// once. Podman reports the health at every check, not only when it changes: a repeat is no news,
// and changes nothing.
class DockerNews final {
public:
    struct Death {
        enum class Cause { Exited, OutOfMemory, Unhealthy };
        Cause cause = Cause::Exited;
        QString containerId;
        QString name; // as the event names it; may be empty
        int exitCode = 0;
        friend bool operator==(const Death &, const Death &) = default;
    };

    // Tarnlet is about to stop or restart the container: its next exit is no news.
    void stopAsked(const QString &containerId);
    // Whether the event only tells a container's health again, as last told.
    bool repeats(const DockerEvent &event) const;
    // Takes in the next event of the stream; the news it makes, if any.
    std::optional<Death> take(const DockerEvent &event);

private:
    struct Container {
        bool stopAsked = false;
        bool outOfMemory = false;
        QString health; // the last "health_status: …" event, until the container starts or ends
    };
    QHash<QString, Container> m_containers;
};

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
//
// A container that ends badly again within ten minutes of its last bad end is in a crash loop
// (a restart policy bringing it back to fail again): that end is told only for the record, and
// the container counts as looping until ten minutes pass without a bad end.
class DockerNews final {
public:
    struct Death {
        enum class Cause { Exited, OutOfMemory, Unhealthy };
        Cause cause = Cause::Exited;
        QString containerId;
        QString name; // as the event names it; may be empty
        int exitCode = 0;
        // Bad ends of the container within the loop window, this one included; above one, the
        // user was told already.
        int inLoop = 1;
        friend bool operator==(const Death &, const Death &) = default;
    };

    static constexpr double loopSeconds = 600;

    // Tarnlet is about to stop or restart the container: its next exit is no news.
    void stopAsked(const QString &containerId);
    // Whether the event only tells a container's health again, as last told.
    bool repeats(const DockerEvent &event) const;
    // Takes in the next event of the stream, seen at `now` (seconds on the monotonic clock); the
    // news it makes, if any.
    std::optional<Death> take(const DockerEvent &event, double now);
    // While the container loops at `now`: its bad ends within ten minutes before the last one,
    // that one included; else 0.
    int loopCount(const QString &containerId, double now) const;
    // When the next loop ends, if any loops at `now`.
    std::optional<double> nextLoopEnd(double now) const;

private:
    struct Container {
        bool stopAsked = false;
        bool outOfMemory = false;
        QString health; // the last "health_status: …" event, until the container starts or ends
    };
    // A bad exit counted towards a loop.
    std::optional<Death> ended(Death death, double now);

    QHash<QString, Container> m_containers;
    // The moments of each container's bad exits of the last ten minutes, oldest first: through
    // its restarts, until the container is removed.
    QHash<QString, QList<double>> m_badEnds;
};

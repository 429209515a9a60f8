#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// One line of the engine's event stream about a container, with the engine's own words.
struct DockerEvent {
    QString action; // "Action": "start", "die", "kill", "oom", "health_status: unhealthy", …
    QString id; // "Actor.ID": the container's id
    QString name; // "Actor.Attributes.name", empty when absent
    std::optional<int> exitCode; // "Actor.Attributes.exitCode" of a "die"

    friend bool operator==(const DockerEvent &, const DockerEvent &) = default;
};

namespace DockerEvents {

// The longest event line read; the stream skips longer ones.
constexpr qint64 maxLineBytes = 64 * 1024;

// The events the stream asks for: those that change the list, and the ones a flash is made of.
QByteArray streamPath();

// Decodes one line of the stream, its texts cleaned (PlainText::clean). None for a line that is no
// container event or does not decode (a broken line is skipped, the stream goes on).
std::optional<DockerEvent> decodeLine(const QByteArray &line);

} // namespace DockerEvents

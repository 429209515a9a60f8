#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

class JsonReader;

// One entry of the Docker engine's container list, with the engine's own JSON keys.
struct DockerContainer {
    QString id; // "Id"
    QStringList names; // "Names", as the engine gives them (with their leading "/")
    QString image; // "Image"
    QString state; // "State": a machine word such as "running" or "exited"
    QString status; // "Status": the engine's human-readable line
    QString project = {}; // "Labels"."com.docker.compose.project": its Compose project, empty for none

    // The first five keys are required and must hold the right type; "Labels" may be absent or
    // null. Other keys are ignored.
    // Throws JsonDecodeError naming the first key that fails.
    static DockerContainer fromJson(const JsonReader &json);
    // The engine's whole list (a top-level array); one broken entry fails it all.
    static QList<DockerContainer> decodeList(const QByteArray &body);

    friend bool operator==(const DockerContainer &, const DockerContainer &) = default;
};

using DockerContainerList = QList<DockerContainer>;

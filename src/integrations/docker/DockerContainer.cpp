#include "integrations/docker/DockerContainer.h"

#include "services/JsonReader.h"

DockerContainer DockerContainer::fromJson(const JsonReader &json)
{
    DockerContainer container;
    container.id = json.string("Id");
    container.names = json.stringList("Names");
    container.image = json.string("Image");
    container.state = json.string("State");
    container.status = json.string("Status");
    if (const std::optional<JsonReader> labels = json.optionalObject("Labels"))
        container.project = labels->optionalString("com.docker.compose.project").value_or(QString());
    return container;
}

QList<DockerContainer> DockerContainer::decodeList(const QByteArray &body)
{
    return JsonReader::decodeArray(body, &DockerContainer::fromJson);
}

#include "integrations/gitlab/GitLabRecords.h"

#include "services/JsonReader.h"

GitLabProject GitLabProject::decode(const QByteArray &body)
{
    return JsonReader::decodeObject(body, [](const JsonReader &json) {
        return GitLabProject { json.int64("id"), json.string("path_with_namespace"),
            json.optionalString("default_branch"), json.url("web_url") };
    });
}

QStringList GitLabProject::decodePaths(const QByteArray &body)
{
    return JsonReader::decodeArray(body, [](const JsonReader &json) { return json.string("path_with_namespace"); });
}

QList<GitLabPipeline> GitLabPipeline::decodeList(const QByteArray &body)
{
    return JsonReader::decodeArray(body, [](const JsonReader &json) {
        return GitLabPipeline { json.int64("id"), json.optionalInt64("iid"), json.string("status"), json.string("ref"),
            json.url("web_url"), json.dateTime("created_at"), json.optionalDateTime("updated_at") };
    });
}

QList<GitLabTodo> GitLabTodo::decodeList(const QByteArray &body)
{
    return JsonReader::decodeArray(body, [](const JsonReader &json) {
        GitLabTodo todo;
        todo.id = json.int64("id");
        todo.action = json.string("action_name");
        todo.targetType = json.string("target_type");
        if (const std::optional<JsonReader> target = json.optionalObject("target"))
            todo.title = target->optionalString("title");
        todo.targetUrl = json.optionalUrl("target_url");
        todo.body = json.optionalString("body").value_or(QString());
        if (const std::optional<JsonReader> projectObject = json.optionalObject("project"))
            todo.project = projectObject->string("path_with_namespace");
        todo.createdAt = json.dateTime("created_at");
        return todo;
    });
}

#include "integrations/github/WorkflowRun.h"

#include "services/JsonReader.h"

WorkflowRun WorkflowRun::decode(const JsonReader &json)
{
    // Read in the order the keys are checked, so the first failing key is the one reported.
    WorkflowRun run;
    run.id = json.int64("id");
    run.name = json.optionalString("name");
    run.status = json.optionalString("status");
    run.conclusion = json.optionalString("conclusion");
    run.headBranch = json.optionalString("head_branch");
    run.event = json.optionalString("event");
    run.createdAt = json.dateTime("created_at");
    run.updatedAt = json.dateTime("updated_at");
    run.htmlURL = json.url("html_url");
    const auto fullName = [&json](const char *key) -> std::optional<QString> {
        if (const std::optional<JsonReader> object = json.optionalObject(key))
            return object->string("full_name");
        return std::nullopt;
    };
    run.repository = fullName("repository");
    run.headRepository = fullName("head_repository");
    return run;
}

WorkflowRunsResponse WorkflowRunsResponse::decode(const QByteArray &body)
{
    return JsonReader::decodeObject(body, [](const JsonReader &json) {
        return WorkflowRunsResponse { json.array("workflow_runs", &WorkflowRun::decode) };
    });
}

#include "modules/gitlab/GitLabSetup.h"

#include "integrations/gitlab/GitLabIntegration.h"
#include "modules/gitlab_pipelines/GitLabPipelinesModule.h"
#include "modules/gitlab_todos/GitLabTodosModule.h"

std::unique_ptr<Integration> GitLabSetup::make(const IntegrationContext &context)
{
    auto gitlab = std::make_unique<GitLabIntegration>(context);
    gitlab->adopt(std::make_unique<GitLabPipelinesModule>(
        context.preferences, context.bus, gitlab->makeClient(), gitlab->credentials(), context.scheduler));
    auto todos = std::make_unique<GitLabTodosModule>(
        context.preferences, context.bus, gitlab->makeClient(), gitlab->credentials(), context.scheduler);
    QObject::connect(&gitlab->expiry(), &TokenExpiry::dayBefore, todos.get(), &GitLabTodosModule::announceTokenEnd);
    gitlab->adopt(std::move(todos));
    return gitlab;
}

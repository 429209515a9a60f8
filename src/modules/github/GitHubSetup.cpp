#include "modules/github/GitHubSetup.h"

#include "integrations/github/GitHubIntegration.h"
#include "modules/github_actions/GitHubActionsModule.h"
#include "modules/github_news/GitHubNewsModule.h"

std::unique_ptr<Integration> GitHubSetup::make(const IntegrationContext &context)
{
    auto github = std::make_unique<GitHubIntegration>(context);
    github->adopt(std::make_unique<GitHubActionsModule>(
        context.preferences, context.bus, github->makeClient(), github->credentials(), context.scheduler));
    auto news = std::make_unique<GitHubNewsModule>(
        context.preferences, context.bus, github->makeClient(), github->credentials(), context.scheduler);
    QObject::connect(&github->expiry(), &TokenExpiry::dayBefore, news.get(), &GitHubNewsModule::announceTokenEnd);
    QObject::connect(
        news.get(), &GitHubNewsModule::markingReadRefused, &github->account(), &GitHubAccount::noteCannotMarkRead);
    github->adopt(std::move(news));
    return github;
}

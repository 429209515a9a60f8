#include "app/Integrations.h"

#include "modules/ci_feeds/CIFeedsSetup.h"
#include "modules/docker/DockerSetup.h"
#include "modules/github/GitHubSetup.h"
#include "modules/gitlab/GitLabSetup.h"

std::vector<std::unique_ptr<Integration>> Integrations::make(const IntegrationContext &context)
{
    std::vector<std::unique_ptr<Integration>> integrations;
    integrations.push_back(GitHubSetup::make(context));
    integrations.push_back(GitLabSetup::make(context));
    integrations.push_back(DockerSetup::make(context));
    integrations.push_back(CIFeedsSetup::make(context));
    return integrations;
}

#pragma once

#include "core/Integration.h"
#include "services/IntegrationContext.h"

#include <memory>

// GitLab with its two modules, in their order: the pipelines, then the to-dos.
namespace GitLabSetup {

std::unique_ptr<Integration> make(const IntegrationContext &context);

} // namespace GitLabSetup

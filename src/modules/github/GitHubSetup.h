#pragma once

#include "core/Integration.h"
#include "services/IntegrationContext.h"

#include <memory>

// GitHub with its two modules, in their order: GitHub Actions, then GitHub news, which also
// announces the token's end and tells the account pane when the token may not mark threads read.
namespace GitHubSetup {

std::unique_ptr<Integration> make(const IntegrationContext &context);

} // namespace GitHubSetup

#pragma once

#include "core/Integration.h"
#include "services/IntegrationContext.h"

#include <memory>
#include <vector>

// Every service Tarnlet speaks to, in the order its modules are listed.
namespace Integrations {

std::vector<std::unique_ptr<Integration>> make(const IntegrationContext &context);

} // namespace Integrations

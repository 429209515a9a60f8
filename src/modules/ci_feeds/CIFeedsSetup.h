#pragma once

#include "core/Integration.h"
#include "services/IntegrationContext.h"

#include <memory>

// CI servers' cctray feeds with their module, CI-Feeds.
namespace CIFeedsSetup {

std::unique_ptr<Integration> make(const IntegrationContext &context);

} // namespace CIFeedsSetup

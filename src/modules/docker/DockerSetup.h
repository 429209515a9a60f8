#pragma once

#include "core/Integration.h"
#include "services/IntegrationContext.h"

#include <memory>

// The local Docker engine with its module.
namespace DockerSetup {

std::unique_ptr<Integration> make(const IntegrationContext &context);

} // namespace DockerSetup

#include "modules/ci_feeds/CIFeedsSetup.h"

#include "integrations/cctray/CCTrayIntegration.h"
#include "modules/ci_feeds/CIFeedsModule.h"

std::unique_ptr<Integration> CIFeedsSetup::make(const IntegrationContext &context)
{
    auto integration = std::make_unique<CCTrayIntegration>(context);
    integration->adopt(std::make_unique<CIFeedsModule>(context.bus, integration->feeds(), CCTrayIntegration::paneName));
    return integration;
}

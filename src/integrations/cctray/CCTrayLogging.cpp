#include "integrations/cctray/CCTrayLogging.h"

Q_LOGGING_CATEGORY(lcCCTray, "tarnlet.cctray", QtWarningMsg)

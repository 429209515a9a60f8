#include "notch/NotchLogging.h"

Q_LOGGING_CATEGORY(lcNotch, "tarnlet.notch", QtWarningMsg)

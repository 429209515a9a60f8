#include "core/Logging.h"

Q_LOGGING_CATEGORY(lcGitHub, "tarnlet.github", QtWarningMsg)
Q_LOGGING_CATEGORY(lcDocker, "tarnlet.docker", QtWarningMsg)
Q_LOGGING_CATEGORY(lcNotch, "tarnlet.notch", QtWarningMsg)
Q_LOGGING_CATEGORY(lcSettings, "tarnlet.settings", QtWarningMsg)

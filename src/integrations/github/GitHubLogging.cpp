#include "integrations/github/GitHubLogging.h"

Q_LOGGING_CATEGORY(lcGitHub, "tarnlet.github", QtWarningMsg)

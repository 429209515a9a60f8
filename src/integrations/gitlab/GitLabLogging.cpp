#include "integrations/gitlab/GitLabLogging.h"

Q_LOGGING_CATEGORY(lcGitLab, "tarnlet.gitlab", QtWarningMsg)

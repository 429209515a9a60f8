#include "integrations/docker/DockerLogging.h"

Q_LOGGING_CATEGORY(lcDocker, "tarnlet.docker", QtWarningMsg)

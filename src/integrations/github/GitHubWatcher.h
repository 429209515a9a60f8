#pragma once

#include "integrations/github/GitHubError.h"
#include "services/ApiWatcher.h"

// One thing a GitHub module polls (a repository's runs, the notifications), logged as GitHub's.
using GitHubWatcher = ApiWatcher;

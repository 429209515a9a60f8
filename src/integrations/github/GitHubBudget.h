#pragma once

#include "integrations/github/GitHubResponse.h"
#include "services/ApiBudget.h"

// The account's hourly GitHub limit as Tarnlet spends it (x-ratelimit-*): at most a quarter of it.
using GitHubBudget = ApiBudget;

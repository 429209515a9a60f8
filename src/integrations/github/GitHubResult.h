#pragma once

#include "integrations/github/GitHubError.h"
#include "services/ApiResult.h"

// The outcome of one GitHub call: a decoded value or the error that stopped it.
template<typename T> using GitHubResult = ApiResult<T>;

#pragma once

#include "services/ApiError.h"

// Why a GitHub call failed.
using GitHubError = ApiError;

#pragma once

#include "services/ApiResponse.h"

// A successful GitHub answer (GitHub sends the token's scopes, validators and limits in headers).
using GitHubResponse = ApiResponse;

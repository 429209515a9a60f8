#pragma once

#include "services/account/TokenAccountPane.h"

// The GitHub account pane: the token account's pane, with its scopes, budget, what the token lacks
// for GitHub news and its end under the account.
using GitHubAccountPane = TokenAccountPane;

#pragma once

#include "core/GitHubServer.h"

#include <QUrl>

// The only pages Tarnlet ever opens: https pages of the configured GitHub server (github.com
// until the application pins another), in the user's browser.
namespace GitHubPage {

// The server whose pages may be opened from now on; the application keeps it the account's.
void pinTo(const GitHubServer &server);
const GitHubServer &pinned();

bool isGitHubPage(const QUrl &url);
// Opens `url` through the desktop's URL handling when it is a GitHub page; false otherwise.
bool open(const QUrl &url);

} // namespace GitHubPage

#pragma once

#include <QUrl>

// The only pages Tarnlet ever opens: https://github.com/ addresses, in the user's browser.
namespace GitHubPage {

bool isGitHubPage(const QUrl &url);
// Opens `url` through the desktop's URL handling when it is a GitHub page; false otherwise.
bool open(const QUrl &url);

} // namespace GitHubPage

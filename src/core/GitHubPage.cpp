#include "core/GitHubPage.h"

#include <QDesktopServices>

namespace {

// Everything runs on the GUI thread, so one value serves every caller.
GitHubServer &pinnedServer()
{
    static GitHubServer server;
    return server;
}

} // namespace

void GitHubPage::pinTo(const GitHubServer &server)
{
    pinnedServer() = server;
}

const GitHubServer &GitHubPage::pinned()
{
    return pinnedServer();
}

bool GitHubPage::isGitHubPage(const QUrl &url)
{
    return pinned().isWebPage(url);
}

bool GitHubPage::open(const QUrl &url)
{
    return isGitHubPage(url) && QDesktopServices::openUrl(url);
}

#include "core/GitHubPage.h"

#include <QDesktopServices>

bool GitHubPage::isGitHubPage(const QUrl &url)
{
    return url.isValid() && url.scheme() == u"https" && url.host() == u"github.com" && url.port(443) == 443
        && url.userInfo().isEmpty();
}

bool GitHubPage::open(const QUrl &url)
{
    return isGitHubPage(url) && QDesktopServices::openUrl(url);
}

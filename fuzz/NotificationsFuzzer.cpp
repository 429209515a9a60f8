// The signed-in user's notifications, and the pull-request page a notification's subject leads to.
#include "FuzzInput.h"

#include "core/GitHubServer.h"
#include "modules/github_pull_requests/GitHubPullRequestsModule.h"
#include "services/GitHubNotification.h"
#include "services/GitHubRepository.h"

#include <QRegularExpression>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    decodeOrRefuse([&] {
        for (const GitHubNotification &notification : GitHubNotification::decodeList(fuzzBytes(data, size))) {
            if (!notification.subject.url)
                continue;
            // The page is a pull request of a repository with a proper name, never another page.
            const QUrl page = GitHubPullRequestsModule::pullRequestPage(GitHubServer(), *notification.subject.url);
            if (page.isEmpty())
                continue;
            static const QRegularExpression form(QStringLiteral("^/([^/]+/[^/]+)/pull/[0-9]+$"));
            const QRegularExpressionMatch match = form.match(page.path());
            fuzzCheck(page.query().isEmpty() && page.fragment().isEmpty() && match.hasMatch()
                    && std::holds_alternative<QString>(GitHubRepository::normalize(match.captured(1))),
                "a notification leads to the page of a pull request");
        }
    });
    return 0;
}

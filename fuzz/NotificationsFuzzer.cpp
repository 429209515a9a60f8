// The signed-in user's notifications, and the page a notification's subject leads to.
#include "FuzzInput.h"

#include "integrations/github/GitHubNotification.h"
#include "integrations/github/GitHubRepository.h"
#include "integrations/github/GitHubServer.h"
#include "modules/github_news/GitHubNewsModule.h"

#include <QRegularExpression>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    decodeOrRefuse([&] {
        for (const GitHubNotification &notification : GitHubNotification::decodeList(fuzzBytes(data, size))) {
            const QUrl page = GitHubNewsModule::subjectPage(GitHubServer(), notification);
            if (page.isEmpty())
                continue;
            // The page is one of the thread's own repository, with a proper name, never another page.
            static const QRegularExpression form(
                QStringLiteral("^/([^/]+/[^/]+)/(pull/[0-9]+|issues/[0-9]+|releases|discussions|actions)$"));
            const QRegularExpressionMatch match = form.match(page.path());
            fuzzCheck(page.query().isEmpty() && page.fragment().isEmpty() && match.hasMatch()
                    && std::holds_alternative<QString>(GitHubRepository::normalize(match.captured(1), GitHubServer()))
                    && match.captured(1).compare(notification.repository.fullName, Qt::CaseInsensitive) == 0,
                "a notification leads to a page of its own repository");
        }
    });
    return 0;
}

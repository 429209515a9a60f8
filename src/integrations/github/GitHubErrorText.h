#pragma once

#include "integrations/github/GitHubError.h"

#include <QCoreApplication>
#include <QString>

// What stopped a GitHub request, as the translated line the user reads: the one place every part that
// shows a GitHubError turns it into words. A missing token and an answer 401 (a refused token)
// read the same wherever a token was sent; the rest in the words of what was asked for.
class GitHubErrorText final {
    Q_DECLARE_TR_FUNCTIONS(GitHubErrorText)
public:
    enum class Asked {
        WorkflowRuns, // a repository's runs: the Actions module's rows
        Notifications, // the notifications: a token that may not read them, or none
        Account, // who the token belongs to: the account pane
        RunCommand, // a run re-run or cancelled: the run's line in the Actions pane
        Release, // the latest release, asked without a token: the update check's message
    };

    static QString of(const GitHubError &error, Asked asked);
    // Said where the token cannot read notifications: a fine-grained token, or a classic one
    // without the notifications or repo scope.
    static QString notificationsNeedClassicToken();
};

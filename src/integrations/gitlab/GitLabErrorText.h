#pragma once

#include "services/ApiError.h"

#include <QCoreApplication>
#include <QString>

class GitLabCredentials;

// What stopped a GitLab request, as the translated line the user reads, and the token's state as
// every GitLab part shows it: the one place a GitLab failure becomes words.
class GitLabErrorText final {
    Q_DECLARE_TR_FUNCTIONS(GitLabErrorText)
public:
    // The name of the GitLab account pane, where the token is saved.
    static inline const QString accountPane = QStringLiteral("gitlabAccount");

    enum class Asked {
        Pipelines, // a project and its pipelines: the pipelines module's rows
        Todos, // the to-do list
        Account, // who the token belongs to: the account pane
        Command, // a pipeline retried or cancelled, a to-do marked done
    };

    static QString of(const ApiError &error, Asked asked);
    // The line every GitLab part shows instead of its own (being read, an unreadable keyring, a
    // refused token, GitLab's wait), or none while the token may be used.
    static std::optional<QString> problemText(const GitLabCredentials &credentials);
    // The account pane while no token is held, it is refused or the keyring unreadable.
    static QString resolvingPane(const GitLabCredentials &credentials);
};

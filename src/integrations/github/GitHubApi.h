#pragma once

#include "core/CancelHandle.h"
#include "integrations/github/GitHubNotification.h"
#include "integrations/github/GitHubResult.h"
#include "integrations/github/WorkflowRun.h"
#include "services/ApiPolls.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

// Who the token belongs to, and what it may do: the scopes GitHub names in X-OAuth-Scopes, or
// none for a fine-grained token (which sends no such header).
struct GitHubUser {
    QString login;
    std::optional<QStringList> scopes;
};

// The part of a choice of runs GitHub answers itself: the runs of one branch (empty: of every
// branch) and of one workflow, named by its file in .github/workflows (empty: of every workflow).
struct RunsFilter {
    QString branch;
    QString workflowFile;

    friend bool operator==(const RunsFilter &, const RunsFilter &) = default;
};

// The GitHub calls the modules make. GitHubClient is the real one; unit tests hand in a fake.
// Callbacks run later on the GUI thread, never inside the call, and not at all once the
// returned request is aborted.
class GitHubApi {
public:
    template<typename T> using Callback = std::function<void(const GitHubResult<T> &)>;

    // What the user may ask of a workflow run.
    enum class RunCommand {
        RerunFailedJobs, // a finished run's failed jobs run again
        Cancel, // a run that has not finished stops
    };

    virtual ~GitHubApi() = default;

    // The newest `perPage` workflow runs of `repo` ("owner/name") that pass `filter`, in the
    // answer's order.
    virtual CancelHandle workflowRuns(const QString &repo, const RunsFilter &filter, int perPage,
        Callback<Polled<QList<WorkflowRun>>> done) const = 0;
    // The unread notifications of every subject type about the repositories `repos` (names
    // compared without regard to case, as GitHub does), in the answer's order.
    virtual CancelHandle unreadNotifications(
        const QStringList &repos, Callback<Polled<QList<GitHubNotification>>> done) const = 0;
    // The pull request at `address`, an absolute API address taken from a notification.
    virtual CancelHandle pullRequestState(const QString &address, Callback<PullRequestState> done) const = 0;
    // The account the token belongs to (GET /user).
    virtual CancelHandle currentUser(Callback<GitHubUser> done) const = 0;
    // The `count` repositories of the token's account pushed to most recently (GET /user/repos),
    // as owner/name, newest first.
    virtual CancelHandle recentRepositories(int count, Callback<QStringList> done) const = 0;
    // Marks notification thread `threadId` read (PATCH /notifications/threads/{id}); the value
    // is GitHub's status (205).
    virtual CancelHandle markThreadRead(const QString &threadId, Callback<int> done) const = 0;
    // Sends `command` for run `runId` of `repo`; `done` gets GitHub's status once it took it.
    virtual CancelHandle runCommand(
        const QString &repo, qint64 runId, RunCommand command, Callback<int> done) const = 0;
};

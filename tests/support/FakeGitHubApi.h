#pragma once

#include "integrations/github/GitHubApi.h"
#include "integrations/github/GitHubClient.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <algorithm>

// A GitHub API whose answers the test gives by hand, one call at a time. Every call is logged
// with its argument; answer() delivers to the oldest call that is still waiting (cancelled calls
// are skipped, as a real transfer would never answer them). Polls are answered with a fresh
// value unless the test delivers a Polled answer itself.
class FakeGitHubApi final : public GitHubApi {
public:
    template<typename T, typename Delivered = T> class Calls {
    public:
        // The argument of every call made (a runs path, repositories or address), in order.
        QStringList arguments;

        // Answers the oldest waiting call (made with `argument`, when given); false when none waits.
        bool answer(const GitHubResult<T> &result, const QString &argument = QString())
        {
            return deliver(result.isOk() ? GitHubResult<Delivered>(Delivered(result.value()))
                                         : GitHubResult<Delivered>(result.error()),
                argument);
        }
        bool deliver(const GitHubResult<Delivered> &result, const QString &argument = QString())
        {
            const auto call = std::ranges::find_if(m_waiting, [&](const Waiting &waiting) {
                return waiting.request.isPending() && (argument.isNull() || waiting.argument == argument);
            });
            if (call == m_waiting.end())
                return false;
            Waiting answered = m_waiting.takeAt(call - m_waiting.begin());
            answered.request.finish();
            answered.done(result);
            return true;
        }
        // The arguments of the calls still waiting, in order.
        QStringList waitingArguments() const
        {
            QStringList waitingFor;
            for (const Waiting &call : m_waiting)
                if (call.request.isPending())
                    waitingFor.append(call.argument);
            return waitingFor;
        }
        int waiting() const { return int(waitingArguments().size()); }
        int abortedCount() const { return m_aborted; }

        CancelHandle add(const QString &argument, Callback<Delivered> done)
        {
            arguments.append(argument);
            CancelHandle request = CancelHandle::create([this] { ++m_aborted; });
            m_waiting.append({ argument, std::move(done), request });
            return request;
        }

    private:
        struct Waiting {
            QString argument;
            Callback<Delivered> done;
            CancelHandle request;
        };
        QList<Waiting> m_waiting;
        int m_aborted = 0;
    };

    mutable Calls<QList<WorkflowRun>, Polled<QList<WorkflowRun>>> runs;
    mutable Calls<QList<GitHubNotification>, Polled<QList<GitHubNotification>>> notifications;
    mutable Calls<PullRequestState> pullRequests;
    mutable Calls<GitHubUser> users;
    mutable Calls<QStringList> recent;
    mutable Calls<int> markedRead; // by thread id
    mutable Calls<int> commands;

    // Logged as the request's path (GitHubClient::workflowRunsPath).
    CancelHandle workflowRuns(const QString &repo, const RunsFilter &filter, int perPage,
        Callback<Polled<QList<WorkflowRun>>> done) const override
    {
        return runs.add(GitHubClient::workflowRunsPath(repo, filter, perPage), std::move(done));
    }
    // Logged as the repositories joined by ",".
    CancelHandle unreadNotifications(
        const QStringList &repos, Callback<Polled<QList<GitHubNotification>>> done) const override
    {
        return notifications.add(repos.join(u','), std::move(done));
    }
    CancelHandle currentUser(Callback<GitHubUser> done) const override
    {
        return users.add(QStringLiteral("user"), std::move(done));
    }
    // Logged as the count asked for.
    CancelHandle recentRepositories(int count, Callback<QStringList> done) const override
    {
        return recent.add(QString::number(count), std::move(done));
    }
    CancelHandle pullRequestState(const QString &address, Callback<PullRequestState> done) const override
    {
        return pullRequests.add(address, std::move(done));
    }
    CancelHandle markThreadRead(const QString &threadId, Callback<int> done) const override
    {
        return markedRead.add(threadId, std::move(done));
    }
    // Logged as "<repo> <run id>".
    CancelHandle runCommand(const QString &repo, qint64 runId, RunCommand, Callback<int> done) const override
    {
        return commands.add(repo + u' ' + QString::number(runId), std::move(done));
    }
};

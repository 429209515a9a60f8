#pragma once

#include "integrations/github/GitHubApi.h"
#include "integrations/github/GitHubRepository.h"
#include "integrations/github/WorkflowRun.h"

#include <QList>
#include <QString>
#include <QStringList>

// The runs of a repository the user wants to see (its branches and workflow): what GitHub can
// select is asked of it, the rest is checked here on every run of the answer.
class RunFilter final {
public:
    static constexpr int pageSize = 10;
    // Asked for while runs are also sifted here, so that sifting still leaves a few to show.
    static constexpr int siftedPageSize = 50;

    RunFilter() = default;
    explicit RunFilter(const GitHubRepository::Options &options);

    // GitHub selects the branch when exactly one is named without a wildcard, and the workflow
    // when it is named by its file ("ci.yml").
    const RunsFilter &asked() const { return m_asked; }
    int perPage() const { return m_sifts ? siftedPageSize : pageSize; }

    // Whether `run` is one of the chosen: its branch as shown (a fork's with its owner) matches a
    // branch name, or the start of one that ends in "*"; its workflow's name is the one named.
    bool matches(const WorkflowRun &run) const;
    // The chosen runs of an answer, in its order, at most pageSize.
    QList<WorkflowRun> sift(const QList<WorkflowRun> &runs) const;

    friend bool operator==(const RunFilter &, const RunFilter &) = default;

private:
    QStringList m_branches;
    QString m_workflowName; // when not named by its file
    RunsFilter m_asked;
    bool m_sifts = false; // GitHub's answer may hold runs left out here
};

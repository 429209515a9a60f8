#pragma once

#include "core/ModuleCounts.h"
#include "core/ModuleStatus.h"
#include "integrations/github/WorkflowRun.h"

#include <QList>
#include <QString>

#include <optional>

// What a workflow run's raw status and conclusion mean to the user: its severity, its state word in
// the user's language, whether it needs attention, and the news of runs that finished between two
// answers.
namespace WorkflowRunState {

// The kinds of news a run's end makes, each with its switch.
inline const QString runFailed = QStringLiteral("github.runFailed");
inline const QString runFixed = QStringLiteral("github.runFixed");

// Queued, in progress, waiting, pending or requested: not finished, so the repository is polled
// every 15 s while one such run is there.
bool isActive(const WorkflowRun &run);
// A conclusion that asks for attention: failure, timed_out or startup_failure.
bool isFailure(const WorkflowRun &run);
// A failure whose jobs ran (failure or timed_out), so that its failed jobs can run again; a run
// that never started (startup_failure) has none.
bool hasFailedJobs(const WorkflowRun &run);
// Active while not finished, then by conclusion: fine for success, failing for a failure, else idle.
ModuleStatus::Severity severity(const WorkflowRun &run);
// One word or two, translated, for the run's status or, once completed, its conclusion ("läuft",
// "fehlgeschlagen"); a word GitHub adds later is shown as it comes.
QString word(const WorkflowRun &run);
// The run's branch as the user reads it: "main" for the repository's own, "mallory:main" for a
// fork's, so that a fork's branch never passes for the repository's own of the same name.
std::optional<QString> branch(const WorkflowRun &run);
// "<workflow name> · <branch>", leaving out what is absent.
QString nameAndBranch(const WorkflowRun &run);

// Runs are told apart by workflow, branch and the repository their commit comes from: a fork's
// run only ever follows or settles runs of the same fork.

// The run that most needs attention among the answers of several repositories (each newest
// first): the newest failed run that no later run of its workflow and branch has followed; else
// the newest active run; else the newest run of all. None when there are no runs at all.
std::optional<WorkflowRun> mostNeedingAttention(const QList<QList<WorkflowRun>> &answers);
// Over the same answers: the workflows and branches whose newest run failed, and the runs not
// finished yet.
ModuleCounts counts(const QList<QList<WorkflowRun>> &answers);

struct News {
    QString text;
    ModuleStatus::Severity severity;
    QString kind; // runFailed or runFixed
    QUrl page; // the run's page
};

// The runs of `current` that finished since `previous` (both one repository's answers, newest
// first), oldest first: "<workflow name> fehlgeschlagen · <branch>", failing, for a failure,
// "<workflow name> wieder erfolgreich · <branch>", fine (a fixed run), for a success that follows a failed run
// of the same workflow and branch. Nothing else is news.
QList<News> finishedSince(const QList<WorkflowRun> &previous, const QList<WorkflowRun> &current);

} // namespace WorkflowRunState

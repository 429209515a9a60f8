#include "modules/github_actions/WorkflowRunState.h"

#include <QCoreApplication>
#include <QHash>
#include <QPair>

#include <algorithm>

namespace {

bool isNewer(const WorkflowRun &a, const WorkflowRun &b)
{
    return a.createdAt != b.createdAt ? a.createdAt > b.createdAt : a.id > b.id;
}

bool isFinished(const WorkflowRun &run)
{
    return run.conclusion && !WorkflowRunState::isActive(run);
}

// A run of a fork's commit: its head repository is another than its own (names compared without
// regard to case, as GitHub does), or a pull request's run names none (the fork is gone).
bool isFromFork(const WorkflowRun &run)
{
    if (run.headRepository)
        return run.repository && run.headRepository->compare(*run.repository, Qt::CaseInsensitive) != 0;
    return run.event == u"pull_request";
}

// Where the run's commit comes from: empty for the repository itself, else the fork.
QString origin(const WorkflowRun &run)
{
    return isFromFork(run) ? run.headRepository.value_or(QStringLiteral("/")).toLower() : QString();
}

bool sameWorkflowAndBranch(const WorkflowRun &a, const WorkflowRun &b)
{
    return a.name == b.name && a.headBranch == b.headBranch && origin(a) == origin(b);
}

// The newest of `runs` that `keep` accepts, if any.
template<typename Keep> std::optional<WorkflowRun> newest(const QList<WorkflowRun> &runs, Keep keep)
{
    std::optional<WorkflowRun> found;
    for (const WorkflowRun &run : runs) {
        if (keep(run) && (!found || isNewer(run, *found)))
            found = run;
    }
    return found;
}

QString withBranch(const QString &text, const WorkflowRun &run)
{
    const std::optional<QString> branch = WorkflowRunState::branch(run);
    return branch ? text + QStringLiteral(" \u00B7 ") + *branch : text;
}

} // namespace

bool WorkflowRunState::isActive(const WorkflowRun &run)
{
    // A run waiting for an approval, or for its turn, has not finished either.
    return run.status == u"queued" || run.status == u"in_progress" || run.status == u"waiting"
        || run.status == u"pending" || run.status == u"requested";
}

bool WorkflowRunState::isFailure(const WorkflowRun &run)
{
    return !isActive(run)
        && (run.conclusion == u"failure" || run.conclusion == u"timed_out" || run.conclusion == u"startup_failure");
}

bool WorkflowRunState::hasFailedJobs(const WorkflowRun &run)
{
    return isFailure(run) && run.conclusion != u"startup_failure";
}

ModuleStatus::Severity WorkflowRunState::severity(const WorkflowRun &run)
{
    if (isActive(run))
        return ModuleStatus::Severity::Active;
    if (isFailure(run))
        return ModuleStatus::Severity::Failing;
    return run.conclusion == u"success" ? ModuleStatus::Severity::Fine : ModuleStatus::Severity::Idle;
}

QString WorkflowRunState::word(const WorkflowRun &run)
{
    static const QHash<QString, const char *> statuses {
        { QStringLiteral("queued"), QT_TRANSLATE_NOOP("WorkflowRunState", "in der Warteschlange") },
        { QStringLiteral("in_progress"), QT_TRANSLATE_NOOP("WorkflowRunState", "läuft") },
        { QStringLiteral("waiting"), QT_TRANSLATE_NOOP("WorkflowRunState", "wartet") },
        { QStringLiteral("pending"), QT_TRANSLATE_NOOP("WorkflowRunState", "ausstehend") },
        { QStringLiteral("requested"), QT_TRANSLATE_NOOP("WorkflowRunState", "angefordert") },
    };
    static const QHash<QString, const char *> conclusions {
        { QStringLiteral("success"), QT_TRANSLATE_NOOP("WorkflowRunState", "erfolgreich") },
        { QStringLiteral("failure"), QT_TRANSLATE_NOOP("WorkflowRunState", "fehlgeschlagen") },
        { QStringLiteral("cancelled"), QT_TRANSLATE_NOOP("WorkflowRunState", "abgebrochen") },
        { QStringLiteral("skipped"), QT_TRANSLATE_NOOP("WorkflowRunState", "übersprungen") },
        { QStringLiteral("timed_out"), QT_TRANSLATE_NOOP("WorkflowRunState", "Zeitüberschreitung") },
        { QStringLiteral("startup_failure"), QT_TRANSLATE_NOOP("WorkflowRunState", "Startfehler") },
        { QStringLiteral("neutral"), QT_TRANSLATE_NOOP("WorkflowRunState", "neutral") },
        { QStringLiteral("action_required"), QT_TRANSLATE_NOOP("WorkflowRunState", "Aktion nötig") },
        { QStringLiteral("stale"), QT_TRANSLATE_NOOP("WorkflowRunState", "veraltet") },
    };
    // GitHub's own word stands for a state it adds later.
    const auto translated = [](const QHash<QString, const char *> &words, const QString &state) {
        const char *word = words.value(state);
        return word ? QCoreApplication::translate("WorkflowRunState", word) : state;
    };
    if (run.status && run.status != u"completed")
        return translated(statuses, *run.status);
    if (run.conclusion)
        return translated(conclusions, *run.conclusion);
    return QCoreApplication::translate("WorkflowRunState", "abgeschlossen");
}

std::optional<QString> WorkflowRunState::branch(const WorkflowRun &run)
{
    if (!run.headBranch || !isFromFork(run))
        return run.headBranch;
    const QString owner = run.headRepository ? run.headRepository->section(u'/', 0, 0)
                                             : QCoreApplication::translate("WorkflowRunState", "Fork");
    return owner + u':' + *run.headBranch;
}

QString WorkflowRunState::nameAndBranch(const WorkflowRun &run)
{
    QStringList parts;
    if (run.name)
        parts.append(*run.name);
    if (const std::optional<QString> shown = branch(run))
        parts.append(*shown);
    return parts.join(QStringLiteral(" \u00B7 "));
}

namespace {

// The newest run of each workflow and branch, per repository.
QList<WorkflowRun> newestOfEach(const QList<QList<WorkflowRun>> &answers)
{
    QList<WorkflowRun> current;
    for (const QList<WorkflowRun> &runs : answers) {
        QList<WorkflowRun> seen;
        for (const WorkflowRun &run : runs) {
            if (std::none_of(
                    seen.cbegin(), seen.cend(), [&](const WorkflowRun &s) { return sameWorkflowAndBranch(s, run); }))
                seen.append(run);
        }
        current.append(seen);
    }
    return current;
}

} // namespace

std::optional<WorkflowRun> WorkflowRunState::mostNeedingAttention(const QList<QList<WorkflowRun>> &answers)
{
    QList<WorkflowRun> all;
    for (const QList<WorkflowRun> &runs : answers)
        all.append(runs);
    // A failure fixed by a later run of the same workflow and branch needs no attention any more.
    if (auto failed = newest(newestOfEach(answers), isFailure))
        return failed;
    if (auto active = newest(all, isActive))
        return active;
    return newest(all, [](const WorkflowRun &) { return true; });
}

ModuleCounts WorkflowRunState::counts(const QList<QList<WorkflowRun>> &answers)
{
    ModuleCounts counts;
    for (const WorkflowRun &run : newestOfEach(answers))
        counts.failedRuns += isFailure(run) ? 1 : 0;
    for (const QList<WorkflowRun> &runs : answers)
        counts.activeRuns += int(std::count_if(runs.cbegin(), runs.cend(), isActive));
    return counts;
}

QList<WorkflowRunState::News> WorkflowRunState::finishedSince(
    const QList<WorkflowRun> &previous, const QList<WorkflowRun> &current)
{
    // The run of the same workflow and branch that ended before `run`, from either answer; a
    // cancelled or skipped run says nothing about whether the workflow works.
    const QList<WorkflowRun> known = current + previous;
    const auto endedBefore = [&](const WorkflowRun &run) {
        return newest(known, [&](const WorkflowRun &other) {
            return other.id != run.id && sameWorkflowAndBranch(other, run) && isFinished(other)
                && other.conclusion != u"cancelled" && other.conclusion != u"skipped" && isNewer(run, other);
        });
    };
    QList<News> news;
    for (auto it = current.crbegin(); it != current.crend(); ++it) {
        const WorkflowRun &run = *it;
        const auto before = std::find_if(
            previous.cbegin(), previous.cend(), [&](const WorkflowRun &other) { return other.id == run.id; });
        if (!isFinished(run) || (before != previous.cend() && isFinished(*before)))
            continue;
        const QString name = run.name.value_or(QStringLiteral("Workflow"));
        if (isFailure(run)) {
            const QString text = QCoreApplication::translate("WorkflowRunState", "%1 fehlgeschlagen").arg(name);
            news.append({ withBranch(text, run), ModuleStatus::Severity::Failing, runFailed, run.htmlURL });
        } else if (run.conclusion == u"success") {
            const std::optional<WorkflowRun> last = endedBefore(run);
            const QString text = QCoreApplication::translate("WorkflowRunState", "%1 wieder erfolgreich").arg(name);
            if (last && isFailure(*last))
                news.append({ withBranch(text, run), ModuleStatus::Severity::Fine, runFixed, run.htmlURL });
        }
    }
    return news;
}

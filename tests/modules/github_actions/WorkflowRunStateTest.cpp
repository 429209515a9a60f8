// What a run's raw status and conclusion mean, which run needs attention, and what is news.
#include "QtPrinters.h"
#include "Runs.h"

#include "modules/github_actions/WorkflowRunState.h"

#include <gtest/gtest.h>

namespace {

TEST(WorkflowRunState, SeverityFollowsStatusThenConclusionAndTheWordNamesIt)
{
    const struct {
        const char *run;
        ModuleStatus::Severity severity;
        const char *word;
    } cases[] = {
        { "- - queued failure", ModuleStatus::Severity::Active, "in der Warteschlange" },
        { "- - - -", ModuleStatus::Severity::Idle, "abgeschlossen" },
        { "- - completed success", ModuleStatus::Severity::Fine, "erfolgreich" },
        { "- - completed failure", ModuleStatus::Severity::Failing, "fehlgeschlagen" },
        { "- - completed cancelled", ModuleStatus::Severity::Idle, "abgebrochen" },
    };
    for (const auto &c : cases) {
        EXPECT_EQ(WorkflowRunState::severity(run(c.run)), c.severity) << c.run;
        EXPECT_EQ(WorkflowRunState::word(run(c.run)), QString::fromUtf8(c.word)) << c.run;
    }
}

TEST(WorkflowRunState, AttentionGoesToTheNewestRunOnceALaterRunHasSettledAFailure)
{
    const auto attention = [](const QList<WorkflowRun> &r, const QList<WorkflowRun> &b) {
        const std::optional<WorkflowRun> found = WorkflowRunState::mostNeedingAttention({ r, b });
        return found ? WorkflowRunState::nameAndBranch(*found) + u' ' + WorkflowRunState::word(*found) : QString();
    };
    // A failure that a later run of the same workflow and branch has followed is settled.
    EXPECT_EQ(attention({ run("Lint main completed success 4"), run("Lint main completed failure 3") },
                  { run("CI main completed success 1") }),
        QStringLiteral("Lint \u00B7 main erfolgreich"));
    // A fork's run never stands for the repository's own branch of the same name (a head repository
    // spelt otherwise is the repository itself); it shows with the fork's owner.
    const WorkflowRun broken = run("CI main completed failure 4");
    EXPECT_EQ(attention({ run("CI main completed success 5 mallory/r"), broken }, {}),
        QStringLiteral("CI \u00B7 main fehlgeschlagen"));
    EXPECT_EQ(attention({ run("CI main completed success 5 O/R"), broken }, {}),
        QStringLiteral("CI \u00B7 main erfolgreich"));
    EXPECT_EQ(attention({ run("CI main completed failure 6 mallory/r") }, {}),
        QStringLiteral("CI \u00B7 mallory:main fehlgeschlagen"));
    // A bar counts alike: the workflows and branches whose newest run failed, and every run under way.
    const ModuleCounts counts = WorkflowRunState::counts(
        { { run("Lint main completed success 4"), run("Lint main completed failure 3"), run("CI dev queued - 7") },
            { broken, run("CI dev completed failure 8"), run("CI main completed failure 2") } });
    EXPECT_EQ(counts, (ModuleCounts { 2, 1, 0, 0, 0 }));
}

TEST(WorkflowRunState, NewsAreNewFailuresAndRecoveriesOldestFirst)
{
    const auto news = [](const QList<WorkflowRun> &previous, const QList<WorkflowRun> &current) {
        QStringList texts;
        for (const WorkflowRunState::News &n : WorkflowRunState::finishedSince(previous, current)) {
            const bool failed = n.severity == ModuleStatus::Severity::Failing && n.kind == WorkflowRunState::runFailed;
            const bool fixed = n.severity == ModuleStatus::Severity::Fine && n.kind == WorkflowRunState::runFixed;
            texts << n.text + (failed ? u'!' : fixed ? u'+' : u'?');
        }
        return texts;
    };
    const WorkflowRun broken = run("CI main completed failure 1");
    const WorkflowRun fixing = run("CI main in_progress - 2");
    const WorkflowRun fixed = run("CI main completed success 2", fixing.id);
    const WorkflowRun lintDev = run("Lint dev completed failure 3");
    EXPECT_EQ(news({ fixing, broken }, { lintDev, fixed, broken }),
        QStringList({ QStringLiteral("CI wieder erfolgreich \u00B7 main+"),
            QStringLiteral("Lint fehlgeschlagen \u00B7 dev!") }));
    // Forks' runs, whatever their branch is called, only follow runs of the same fork.
    EXPECT_EQ(news({ broken },
                  { run("CI main completed success 6 mallory/r"), run("CI main completed failure 5 eve/r"), broken }),
        QStringList({ QStringLiteral("CI fehlgeschlagen \u00B7 eve:main!") }));
}

} // namespace

// What a run's raw status and conclusion mean: its colour and its German state word.
#include "QtPrinters.h"

#include "modules/github_actions/WorkflowRunState.h"

#include <gtest/gtest.h>

namespace {

WorkflowRun run(const char *status, const char *conclusion = nullptr)
{
    WorkflowRun r;
    if (status)
        r.status = QString::fromLatin1(status);
    if (conclusion)
        r.conclusion = QString::fromLatin1(conclusion);
    return r;
}

TEST(WorkflowRunState, ColourFollowsStatusThenConclusionAndTheWordNamesIt)
{
    struct Case {
        const char *status;
        const char *conclusion;
        Color color;
        const char *word;
    };
    for (const Case &c : std::initializer_list<Case> {
             { "queued", "failure", Color::orange(), "in der Warteschlange" },
             { "in_progress", "success", Color::orange(), "läuft" },
             { "waiting", nullptr, Color::orange(), "wartet" }, // for an approval: not finished
             { "pending", nullptr, Color::orange(), "ausstehend" },
             { "requested", nullptr, Color::orange(), "angefordert" },
             { "completed", nullptr, Color::gray(), "abgeschlossen" },
             { nullptr, nullptr, Color::gray(), "abgeschlossen" },
             { "completed", "success", Color::green(), "erfolgreich" },
             { "completed", "failure", Color::red(), "fehlgeschlagen" },
             { "completed", "timed_out", Color::red(), "Zeitüberschreitung" },
             { "completed", "startup_failure", Color::red(), "Startfehler" },
             { "completed", "cancelled", Color::gray(), "abgebrochen" },
             { "completed", "skipped", Color::gray(), "übersprungen" },
             { "completed", "Success", Color::gray(), "Success" }, // exact words only
             { "Queued", nullptr, Color::gray(), "Queued" },
         }) {
        const WorkflowRun r = run(c.status, c.conclusion);
        EXPECT_EQ(WorkflowRunState::color(r), c.color) << c.status << " " << (c.conclusion ? c.conclusion : "-");
        EXPECT_EQ(WorkflowRunState::word(r), QString::fromUtf8(c.word));
    }
}

} // namespace

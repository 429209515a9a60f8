#pragma once

// What the poll-hour benchmarks share: the figures a local server counts over one simulated hour,
// the hour itself, and the table the hours are printed in, side by side.

#include "ManualScheduler.h"

#include <QTest>

#include <cstdio>
#include <initializer_list>

inline constexpr double pollHour = 3600;

// One simulated hour as the local server saw it.
struct PollHourFigures {
    int requests = 0;
    int notModified = 0;
    qint64 bytes = 0; // status lines, headers and bodies as the server wrote them, without TLS
    int countedByTarnlet = 0; // as the account's budget counted them over the hour

    // The answers that count against the account's limit: all but the 304s.
    int counted() const { return requests - notModified; }
    double notModifiedShare() const { return requests > 0 ? 100.0 * notModified / requests : 0.0; }
};

// The hour, once the modules started: the scheduler moves to each next due poll until the hour is
// over, and after every step waits until all `pollLoops` poll loops wait for their turn again, so
// that each poll's transfer is done before the clock moves on.
inline void pollForAnHour(ManualScheduler &scheduler, int pollLoops)
{
    const auto settle = [&] {
        if (!QTest::qWaitFor([&] { return scheduler.pendingCount() == pollLoops; }, 30000))
            qFatal("the polls did not settle at %.0f s", scheduler.now());
    };
    settle();
    while (scheduler.now() + scheduler.nextDelay() < pollHour) {
        scheduler.advance(scheduler.nextDelay());
        settle();
    }
}

// A table of simulated hours, one column each, under a title line: requests, 304 share and bytes
// received per hour, and where asked the answers that count, by the server's or the budget's count.
struct PollHourColumn {
    const char *heading;
    int width; // at least 5, for the bytes' " KiB"
    const PollHourFigures &figures;
};

enum class AnswersThatCount { notShown, asServed, asBudgeted };

inline void printPollHourTable(
    const char *title, std::initializer_list<PollHourColumn> columns, AnswersThatCount answers)
{
    std::printf("  %s\n  %-26s", title, "");
    for (const PollHourColumn &column : columns)
        std::printf(" %*s", column.width, column.heading);
    std::printf("\n  %-26s", "Requests per hour");
    for (const PollHourColumn &column : columns)
        std::printf(" %*d", column.width, column.figures.requests);
    std::printf("\n  %-26s", "Answered 304");
    for (const PollHourColumn &column : columns)
        std::printf(" %*.1f %%", column.width - 2, column.figures.notModifiedShare());
    std::printf("\n  %-26s", "Bytes received per hour");
    for (const PollHourColumn &column : columns)
        std::printf(" %*.0f KiB", column.width - 4, column.figures.bytes / 1024.0);
    std::printf("\n");
    if (answers == AnswersThatCount::notShown)
        return;
    std::printf("  %-26s", "Answers that count");
    for (const PollHourColumn &column : columns)
        std::printf(" %*d", column.width,
            answers == AnswersThatCount::asServed ? column.figures.counted() : column.figures.countedByTarnlet);
    std::printf("\n");
}

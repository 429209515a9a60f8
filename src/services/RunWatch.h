#pragma once

#include "core/CommandLedger.h"
#include "services/ApiPolls.h"
#include "services/ApiWatcher.h"

#include <QList>
#include <QPointer>
#include <QString>

#include <algorithm>
#include <functional>
#include <optional>

// One repository or project whose CI runs a module follows, with a watcher of its own: the runs of
// its last answer, whether an answer came, and the commands pressed on them. `Run` has an `id`;
// `Command` is what can be asked of a run (run it again, cancel it).
template<typename Run, typename Command> struct RunWatch {
    // What a module tells about its runs: which are under way, and what each offers to be asked.
    using IsActive = bool (*)(const Run &);
    using CommandFor = std::optional<Command> (*)(const Run &);

    // What a successful answer, or a failure, did to the watch.
    struct Taken {
        bool changed = false; // something shown changed
        bool replaced = false; // the runs were replaced by the answer's
        // The runs the answer replaced, unless it was the first answer: the one whose runs are news.
        std::optional<QList<Run>> previous;
    };

    RunWatch(QString watched, Scheduler &scheduler, const ApiCredentials &credentials, ApiWatcher::Poll poll)
        : name(watched)
        , shown(std::move(watched))
        , watcher(name, scheduler, credentials, std::move(poll))
    { }
    RunWatch(const RunWatch &) = delete;
    RunWatch &operator=(const RunWatch &) = delete;

    // Starts afresh, as at launch: what was learnt under another token or server, and the commands
    // under way there, are dropped.
    void forget()
    {
        shown = name;
        runs.clear();
        answered = false;
        commands.clear();
    }

    // Takes a poll's answer: a failure to the watcher; a success's runs (as `sift` keeps them) in
    // place of the last ones, unless the server said nothing changed. The next poll comes in 15 s
    // while a run is under way (the pause the budget stretches last), in 60 s otherwise. A refusal
    // stays beside its run while the run still offers the command refused.
    template<typename Sift>
    Taken take(const ApiResult<Polled<QList<Run>>> &result, IsActive isActive, CommandFor commandFor, Sift sift)
    {
        if (!result.isOk())
            return Taken { watcher.failed(result.error()), false, std::nullopt };
        const auto succeeded = [&] {
            const bool active = std::any_of(runs.cbegin(), runs.cend(), isActive);
            return watcher.succeeded(active ? 15 : 60, !result.value().unchanged, active);
        };
        if (result.value().unchanged && answered)
            return Taken { succeeded(), false, std::nullopt };
        QList<Run> previous = std::exchange(runs, sift(result.value().value));
        commands.keepRefusalsWhere([&](qint64 runId, Command command) {
            return std::any_of(runs.cbegin(), runs.cend(),
                [&](const Run &run) { return run.id == runId && commandFor(run) == command; });
        });
        const bool first = !std::exchange(answered, true);
        succeeded();
        return Taken { true, true, first ? std::nullopt : std::optional(std::move(previous)) };
    }
    Taken take(const ApiResult<Polled<QList<Run>>> &result, IsActive isActive, CommandFor commandFor)
    {
        return take(result, isActive, commandFor, [](const QList<Run> &all) { return all; });
    }

    // Asks `command` of run `runId` through `request`, once: nothing while a command for the run is
    // under way, and a refusal (in `refusalText`'s words) is shown beside the run, not sent again by
    // itself. A command taken polls again at once. `owner` hears of each change, while it exists.
    template<typename Owner>
    void send(qint64 runId, Command command, Owner *owner,
        const std::function<CancelHandle(std::function<void(const ApiResult<int> &)>)> &request,
        QString (*refusalText)(const ApiError &))
    {
        if (commands.isUnderWay(runId))
            return;
        commands.begin(runId, request([guard = QPointer(owner), this, runId, command, refusalText](const auto &result) {
            if (!guard)
                return;
            if (result.isOk()) {
                commands.taken(runId);
                watcher.pollNow();
            } else {
                commands.refused(runId, command, refusalText(result.error()));
            }
            Q_EMIT guard->changed();
        }));
        Q_EMIT owner->changed();
    }

    const QString name; // as the user wrote it
    QString shown; // as the service spells it, once it has answered
    QList<Run> runs; // of the last successful poll, newest first
    bool answered = false; // a poll has succeeded
    CommandLedger<qint64, Command> commands; // by run id
    // Last, so that it goes first and its request with it: no answer reaches a gone watch.
    ApiWatcher watcher;
};

#pragma once

#include "core/CancelHandle.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>

// Runs an external program and hands back what it wrote to its standard output, without ever
// blocking the GUI thread. Every run is bounded in time and in output size, so a child that hangs
// or floods cannot stall its caller or grow memory without end. A streaming run has no time bound
// and hands its output over line by line as it comes, each line bounded in length.
class ProcessRunner {
public:
    struct Limits {
        double timeoutSeconds = 30;
        qint64 maxOutputBytes = 8 * 1024 * 1024;
        // Past maxOutputBytes, keep the output's end of that size instead of ending the program.
        bool keepTail = false;
    };

    struct Result {
        enum class Outcome {
            Exited, // ran to its end; exitStatus holds its exit status
            Crashed, // ended by a signal; exitStatus holds what the platform reports for it
            FailedToStart, // errorText holds the platform's reason
            TimedOut, // ended by us when the time bound ran out
            OutputTooLarge, // ended by us when its output passed the size bound
        };
        Outcome outcome = Outcome::Exited;
        int exitStatus = 0;
        // Everything the program wrote to standard output, read to its end before the exit is
        // taken; empty when we ended the program or it never started.
        QByteArray output;
        QString errorText;
        // The output's beginning was dropped to keep its tail (Limits::keepTail).
        bool cut = false;
    };

    using Done = std::function<void(const Result &)>;

    virtual ~ProcessRunner() = default;

    // Starts `program` (an absolute path; the search path is not consulted) with `arguments`.
    // `done` is called exactly once, on the GUI thread and never inside this call. Standard input
    // is empty; standard error goes where the application's own goes.
    virtual void run(const QString &program, const QStringList &arguments, const Limits &limits, Done done) = 0;

    // One line of standard output, without its "\n".
    using Line = std::function<void(const QByteArray &line)>;

    // Starts `program` like run() and hands each line of its standard output to `line` as it
    // arrives, on the GUI thread and never inside this call. A line longer than `maxLineBytes` is
    // skipped whole. `ended` is called once when the program has ended (or failed to start), with
    // no output in its Result. Cancelling the handle kills the program at once; neither callback
    // runs after that.
    virtual CancelHandle stream(
        const QString &program, const QStringList &arguments, qint64 maxLineBytes, Line line, Done ended)
        = 0;
};

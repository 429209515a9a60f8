#pragma once

#include "services/ProcessRunner.h"

#include <QObject>

class Scheduler;

// The production process runner: an asynchronous QProcess per run, watched through its signals on
// the GUI thread, with the time bound kept by the scheduler. Children still running when the
// runner goes away are ended with it, and their callbacks are dropped.
class QtProcessRunner final : public QObject, public ProcessRunner {
public:
    explicit QtProcessRunner(Scheduler &scheduler, QObject *parent = nullptr);

    void run(const QString &program, const QStringList &arguments, const Limits &limits, Done done) override;
    CancelHandle stream(
        const QString &program, const QStringList &arguments, qint64 maxLineBytes, Line line, Done ended) override;

private:
    Scheduler &m_scheduler;
};

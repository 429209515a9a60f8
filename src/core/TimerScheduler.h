#pragma once

#include "core/Scheduler.h"

#include <QElapsedTimer>

// The production scheduler: one precise single-shot QTimer per job on the GUI thread's event
// loop, measured on the monotonic clock.
class TimerScheduler final : public Scheduler {
public:
    TimerScheduler();

    double now() const override;
    CancelHandle schedule(double delaySeconds, Job job) override;

private:
    QElapsedTimer m_clock;
};

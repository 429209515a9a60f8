#include "core/TimerScheduler.h"

#include <QTimer>

#include <cmath>

// The timer's connection keeps the job's state alive until the job has run or was cancelled, so a
// caller may drop its handle.

TimerScheduler::TimerScheduler()
{
    m_clock.start();
}

double TimerScheduler::now() const
{
    return double(m_clock.nsecsElapsed()) / 1e9;
}

ScheduledJob TimerScheduler::schedule(double delaySeconds, Job job)
{
    auto state = std::make_shared<ScheduledJob::State>();
    auto *timer = new QTimer;
    timer->setSingleShot(true);
    timer->setTimerType(Qt::PreciseTimer);
    const auto milliseconds = int(std::ceil(clampedDelay(delaySeconds) * 1000.0));
    QObject::connect(timer, &QTimer::timeout, timer, [timer, state, job = std::move(job)] {
        timer->deleteLater();
        runJob(*state, job);
    });
    state->onCancel = [timer] {
        timer->stop();
        timer->deleteLater();
    };
    timer->start(milliseconds);
    return ScheduledJob(state);
}

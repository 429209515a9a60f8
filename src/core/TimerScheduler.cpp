#include "core/TimerScheduler.h"

#include <QTimer>

#include <cmath>

// The timer's connection keeps the job's handle alive until the job has run or was cancelled, so a
// caller may drop its handle.

TimerScheduler::TimerScheduler()
{
    m_clock.start();
}

double TimerScheduler::now() const
{
    return double(m_clock.nsecsElapsed()) / 1e9;
}

CancelHandle TimerScheduler::schedule(double delaySeconds, Job job)
{
    auto *timer = new QTimer;
    timer->setSingleShot(true);
    timer->setTimerType(Qt::PreciseTimer);
    const auto milliseconds = int(std::ceil(clampedDelay(delaySeconds) * 1000.0));
    CancelHandle handle = CancelHandle::create([timer] {
        timer->stop();
        timer->deleteLater();
    });
    QObject::connect(timer, &QTimer::timeout, timer, [timer, handle, job = std::move(job)]() mutable {
        timer->deleteLater();
        if (handle.finish())
            job();
    });
    timer->start(milliseconds);
    return handle;
}

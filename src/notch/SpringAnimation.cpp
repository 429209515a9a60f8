#include "notch/SpringAnimation.h"

SpringAnimation::SpringAnimation(Spring spring, QObject *parent)
    : QAbstractAnimation(parent)
    , m_spring(spring)
{ }

void SpringAnimation::moveTo(double target, bool instant)
{
    if (instant) {
        stop();
        m_spring.jumpTo(target);
        Q_EMIT valueChanged();
        return;
    }
    m_spring.setTarget(target);
    if (m_spring.isSettled()) {
        Q_EMIT valueChanged();
        return;
    }
    if (state() != Running)
        start();
}

void SpringAnimation::updateState(State newState, State oldState)
{
    if (newState == Running && oldState == Stopped)
        m_lastTime = 0;
}

void SpringAnimation::updateCurrentTime(int currentTime)
{
    m_spring.advance((currentTime - m_lastTime) / 1000.0);
    m_lastTime = currentTime;
    Q_EMIT valueChanged();
    if (m_spring.isSettled())
        stop();
}

#pragma once

#include "notch/Spring.h"

#include <QAbstractAnimation>

// Drives a Spring on Qt's animation clock while it moves and stops once it rests, so nothing
// ticks while the overlay stands still.
class SpringAnimation final : public QAbstractAnimation {
    Q_OBJECT
public:
    explicit SpringAnimation(Spring spring, QObject *parent = nullptr);

    const Spring &spring() const { return m_spring; }
    double value() const { return m_spring.value(); }
    int duration() const override { return -1; }

    // Heads for `target`: at once when `instant`, else moving on from the current value and
    // velocity.
    void moveTo(double target, bool instant);

Q_SIGNALS:
    void valueChanged();

protected:
    void updateCurrentTime(int currentTime) override;
    void updateState(State newState, State oldState) override;

private:
    Spring m_spring;
    int m_lastTime = 0;
};

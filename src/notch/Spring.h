#pragma once

// A damped spring with unit mass pulling a value towards a target, solved in closed form so the
// step size never affects the path. Response is the period of the undamped oscillation in
// seconds: stiffness (2 pi / response)^2, damping 4 pi x fraction / response. A new target keeps
// the current value and velocity, so an interrupted movement turns around smoothly.
class Spring final {
public:
    explicit Spring(double response = 0.42, double dampingFraction = 0.74);

    void setTarget(double target);
    // Places the spring at rest on `value`, which also becomes the target.
    void jumpTo(double value);
    void advance(double seconds);

    double value() const { return m_target + m_offset; }
    double velocity() const { return m_velocity; }
    double target() const { return m_target; }
    bool isSettled() const { return m_offset == 0 && m_velocity == 0; }

    double stiffness() const;
    double damping() const;
    // How far the value swings past the target, as a share of the distance, when released at rest.
    double overshoot() const;

private:
    double m_response;
    double m_fraction;
    double m_target = 0;
    double m_offset = 0; // value - target
    double m_velocity = 0;
};

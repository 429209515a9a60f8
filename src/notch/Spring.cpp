#include "notch/Spring.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

// Below these the movement is invisible (well under a pixel for the overlay's sizes).
constexpr double restOffset = 1e-4;
constexpr double restVelocity = 1e-3;

} // namespace

Spring::Spring(double response, double dampingFraction)
    : m_response(std::max(response, 1e-3))
    , m_fraction(std::clamp(dampingFraction, 0.0, 1.0))
{ }

double Spring::stiffness() const
{
    const double omega = 2 * std::numbers::pi / m_response;
    return omega * omega;
}

double Spring::damping() const
{
    return 4 * std::numbers::pi * m_fraction / m_response;
}

double Spring::overshoot() const
{
    if (m_fraction >= 1)
        return 0;
    return std::exp(-std::numbers::pi * m_fraction / std::sqrt(1 - m_fraction * m_fraction));
}

void Spring::setTarget(double target)
{
    m_offset += m_target - target;
    m_target = target;
}

void Spring::jumpTo(double value)
{
    m_target = value;
    m_offset = 0;
    m_velocity = 0;
}

void Spring::advance(double seconds)
{
    if (isSettled() || !(seconds > 0))
        return;
    const double omega = 2 * std::numbers::pi / m_response;
    const double x0 = m_offset;
    const double v0 = m_velocity;
    const double decay = std::exp(-m_fraction * omega * seconds);
    if (m_fraction < 1) {
        const double omegaD = omega * std::sqrt(1 - m_fraction * m_fraction);
        const double c = std::cos(omegaD * seconds);
        const double s = std::sin(omegaD * seconds);
        m_offset = decay * (x0 * c + (v0 + m_fraction * omega * x0) / omegaD * s);
        m_velocity = decay * (v0 * c - (m_fraction * omega * v0 + omega * omega * x0) / omegaD * s);
    } else {
        const double b = v0 + omega * x0;
        m_offset = decay * (x0 + b * seconds);
        m_velocity = decay * (v0 - omega * b * seconds);
    }
    if (std::abs(m_offset) < restOffset && std::abs(m_velocity) < restVelocity) {
        m_offset = 0;
        m_velocity = 0;
    }
}

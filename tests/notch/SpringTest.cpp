#include "notch/Spring.h"

#include <cmath>
#include <numbers>

#include <gtest/gtest.h>

namespace {

TEST(Spring, SettlesOnTheTargetWithItsOwnOvershootOnly)
{
    Spring spring(0.42, 0.74);
    EXPECT_NEAR(spring.stiffness(), std::pow(2 * std::numbers::pi / 0.42, 2), 1e-9);
    EXPECT_NEAR(spring.damping(), 4 * std::numbers::pi * 0.74 / 0.42, 1e-9);

    spring.setTarget(1);
    double highest = 0;
    double seconds = 0;
    while (!spring.isSettled() && seconds < 5) {
        spring.advance(1.0 / 60);
        seconds += 1.0 / 60;
        highest = std::max(highest, spring.value());
    }
    EXPECT_TRUE(spring.isSettled());
    EXPECT_EQ(spring.value(), 1);
    EXPECT_LT(seconds, 1.5);
    EXPECT_GT(highest, 1) << "an underdamped spring swings past";
    EXPECT_LE(highest, 1 + spring.overshoot() + 1e-9);
    EXPECT_NEAR(spring.overshoot(), 0.0316, 0.001);
}

TEST(Spring, StepSizeDoesNotChangeThePathAndRetargetingKeepsVelocity)
{
    Spring coarse;
    Spring fine;
    coarse.setTarget(1);
    fine.setTarget(1);
    coarse.advance(0.1);
    for (int i = 0; i < 100; ++i)
        fine.advance(0.001);
    EXPECT_NEAR(coarse.value(), fine.value(), 1e-9);

    const double velocity = coarse.velocity();
    EXPECT_GT(velocity, 0);
    coarse.setTarget(0);
    EXPECT_EQ(coarse.velocity(), velocity);
    EXPECT_NEAR(coarse.value(), fine.value(), 1e-9);

    coarse.jumpTo(0.5);
    EXPECT_TRUE(coarse.isSettled());
    coarse.advance(std::nan(""));
    EXPECT_EQ(coarse.value(), 0.5);
}

} // namespace

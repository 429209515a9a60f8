#include "notch/Spring.h"

#include <cmath>

#include <gtest/gtest.h>

namespace {

// How far the spring swings past is the view's concern (NotchViewTest); here: the path itself.
TEST(Spring, SettlesExactlyOnItsPathWhateverTheStepAndKeepsItsVelocityWhenRetargeted)
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

    int frames = 0;
    for (; !fine.isSettled() && frames < 300; ++frames)
        fine.advance(1.0 / 60);
    EXPECT_EQ(fine.value(), 1);
    EXPECT_LT(frames, 90);

    coarse.jumpTo(0.5);
    EXPECT_TRUE(coarse.isSettled());
    coarse.advance(std::nan(""));
    EXPECT_EQ(coarse.value(), 0.5);
}

} // namespace

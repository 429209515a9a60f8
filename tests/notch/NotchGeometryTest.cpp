#include "notch/NotchGeometry.h"
#include "platform/headless/HeadlessDesktop.h"

#include <gtest/gtest.h>

namespace {

const QRectF frame(0, 0, 1512, 982);

TEST(NotchGeometry, PrefersTheFirstNotchedScreenElseTheMainOne)
{
    HeadlessScreenProvider screens;
    const ScreenInfo wide = HeadlessScreenProvider::plain(QRectF(0, 0, 1920, 1080));
    const ScreenInfo notched = HeadlessScreenProvider::notched(frame, 188, 38);
    screens.setScreens({ wide, notched, HeadlessScreenProvider::notched(QRectF(1920, 0, 1512, 982), 200, 40) }, wide);
    EXPECT_EQ(NotchGeometry::preferredScreen(screens), notched);
    const ScreenInfo plain = HeadlessScreenProvider::plain(frame);
    screens.setScreens({ wide, plain }, plain);
    EXPECT_EQ(NotchGeometry::preferredScreen(screens), plain);
    screens.setScreens({ wide }, std::nullopt);
    EXPECT_EQ(NotchGeometry::preferredScreen(screens), std::nullopt);
}

TEST(NotchGeometry, HugsTheHousingOrFallsBackToTheFixedSize)
{
    const NotchGeometry notched = NotchGeometry::forScreen(HeadlessScreenProvider::notched(frame, 188, 38));
    EXPECT_TRUE(notched.hasNotch);
    EXPECT_EQ(notched.collapsedSize, QSizeF(328, 38));
    EXPECT_EQ(notched.topInset, 38);

    // An inset without both side areas: the flag follows the inset, the size falls back.
    ScreenInfo halfKnown = HeadlessScreenProvider::notched(frame, 188, 38);
    halfKnown.auxiliaryTopRightArea.reset();
    const NotchGeometry fallback = NotchGeometry::forScreen(halfKnown);
    EXPECT_TRUE(fallback.hasNotch);
    EXPECT_EQ(fallback.collapsedSize, QSizeF(220, 32));
    EXPECT_EQ(fallback.topInset, 32);
}

} // namespace

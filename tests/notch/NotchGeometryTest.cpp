#include "FakeDesktop.h"

#include "notch/NotchGeometry.h"

#include <gtest/gtest.h>

namespace {

const QRectF frame(0, 0, 1512, 982);

TEST(NotchGeometry, PrefersTheFirstNotchedScreenElseTheMainOne)
{
    FakeScreenProvider screens;
    screens.all = { FakeScreenProvider::plain(QRectF(0, 0, 1920, 1080)), FakeScreenProvider::notched(frame, 188, 38),
        FakeScreenProvider::notched(QRectF(1920, 0, 1512, 982), 200, 40) };
    screens.main = screens.all.first();
    EXPECT_EQ(NotchGeometry::preferredScreen(screens), screens.all[1]);

    screens.all = { FakeScreenProvider::plain(QRectF(0, 0, 1920, 1080)), FakeScreenProvider::plain(frame) };
    screens.main = screens.all[1];
    EXPECT_EQ(NotchGeometry::preferredScreen(screens), screens.all[1]);

    screens.main.reset();
    EXPECT_EQ(NotchGeometry::preferredScreen(screens), std::nullopt);
}

TEST(NotchGeometry, HugsTheHousingOrFallsBackToTheFixedSize)
{
    const NotchGeometry notched = NotchGeometry::forScreen(FakeScreenProvider::notched(frame, 188, 38));
    EXPECT_TRUE(notched.hasNotch);
    EXPECT_EQ(notched.collapsedSize, QSizeF(328, 38));
    EXPECT_EQ(notched.topInset, 38);

    const NotchGeometry plain = NotchGeometry::forScreen(FakeScreenProvider::plain(frame));
    EXPECT_FALSE(plain.hasNotch);
    EXPECT_EQ(plain.collapsedSize, QSizeF(220, 32));
    EXPECT_EQ(plain.topInset, 32);
    EXPECT_EQ(plain.screen, FakeScreenProvider::plain(frame));

    // An inset without both side areas: the flag follows the inset, the size falls back.
    ScreenInfo halfKnown = FakeScreenProvider::notched(frame, 188, 38);
    halfKnown.auxiliaryTopRightArea.reset();
    const NotchGeometry fallback = NotchGeometry::forScreen(halfKnown);
    EXPECT_TRUE(fallback.hasNotch);
    EXPECT_EQ(fallback.collapsedSize, QSizeF(220, 32));
    EXPECT_EQ(fallback.topInset, 32);
}

} // namespace

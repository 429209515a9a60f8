// Where the overlay sits and when it shows: below top panels, on the chosen screen, out of the
// way of full-screen windows, and with a pointer seen only over our own windows.
#include "NotchControllerFixture.h"

namespace {

using namespace Qt::StringLiterals;

// Screen A (the fixture's) with a 32-point panel along its top, screen B to its right, tops level.
const QRectF frameB(1440, 0, 1920, 1080);

class NotchPlacementTest : public NotchControllerTest {
protected:
    NotchPlacementTest()
    {
        ScreenInfo a = HeadlessScreenProvider::plain(screenFrame, u"A"_s);
        a.workArea = screenFrame.adjusted(0, 32, 0, 0);
        screens.setScreens({ a, HeadlessScreenProvider::plain(frameB, u"B"_s) }, a);
    }
};

TEST_F(NotchPlacementTest, HangsBelowTheTopPanelOnTheChosenScreenAndFollowsScreenChanges)
{
    EXPECT_EQ(controller().panel().geometry(), QRect(430, 32, 580, 250));
    pointer.clickAt({ 720, 20 }); // on the panel strip, above the overlay
    EXPECT_FALSE(model().isExpanded());
    pointer.clickAt({ 720, 40 });
    EXPECT_TRUE(model().isPinned());

    // The panel goes: the overlay follows the work area up, still pinned, its areas with it.
    const ScreenInfo bareA = HeadlessScreenProvider::plain(screenFrame, u"A"_s);
    screens.setScreens({ bareA, screens.screens()[1] }, bareA);
    EXPECT_EQ(controller().panel().geometry(), QRect(430, 0, 580, 250));
    pointer.clickAt({ 720, 40 }); // inside E, below the new C
    EXPECT_TRUE(model().isPinned());
    pointer.clickAt({ 720, 20 });
    EXPECT_FALSE(model().isExpanded());

    // A named screen, at once; while it is absent the primary one, and back when it returns; with
    // no screen at all the change is ignored.
    prefs.store->setValue(AppPreferences::screen, u"B"_s);
    const QRect onB(1440 + 960 - 290, 0, 580, 250);
    EXPECT_EQ(controller().panel().geometry(), onB);
    const QList<ScreenInfo> both = screens.screens();
    screens.setScreens({ both[0] }, both[0]);
    EXPECT_EQ(controller().panel().geometry(), QRect(430, 0, 580, 250));
    screens.setScreens(both, both[0]);
    EXPECT_EQ(controller().panel().geometry(), onB);
    screens.setScreens({}, std::nullopt);
    EXPECT_EQ(controller().panel().geometry(), onB);
    screens.setScreens(both, both[0]);

    // The pointer's screen: taken when chosen, then at each collapse, never while open.
    pointer.setPosition({ 200, 700 });
    prefs.store->setValue(AppPreferences::screen, AppPreferences::screenWithPointer);
    EXPECT_EQ(controller().panel().geometry(), QRect(430, 0, 580, 250));
    controller().flash(u"news"_s, Color::blue());
    pointer.moveTo({ 2000, 600 });
    EXPECT_EQ(controller().panel().geometry(), QRect(430, 0, 580, 250));
    scheduler.advance(0.35);
    EXPECT_FALSE(model().isExpanded());
    EXPECT_EQ(controller().panel().geometry(), onB);
}

TEST_F(NotchPlacementTest, StepsAsideForAFullScreenWindowOnItsScreenAndFlashesLater)
{
    controller().panel().show();
    pointer.clickAt({ 720, 60 });
    ASSERT_TRUE(model().isPinned());

    screens.setFullScreenWindow(frameB); // on the other screen: no matter
    EXPECT_TRUE(controller().panel().isVisible());
    screens.setFullScreenWindow(screenFrame);
    EXPECT_FALSE(controller().panel().isVisible());
    EXPECT_FALSE(model().isExpanded());
    EXPECT_FALSE(model().isPinned());

    // Hidden, the pointer does nothing and flashes wait, the newest only.
    rest({ 720, 40 });
    pointer.clickAt({ 720, 40 });
    scheduler.advance(1);
    controller().flash(u"first"_s, Color::blue());
    controller().flash(u"second"_s, Color::green());
    EXPECT_FALSE(model().isExpanded());
    EXPECT_NE(model().statusText(), u"second"_s);
    controller().panel().hide();
    controller().panel().show(); // an outside show() does not defeat the hiding
    EXPECT_FALSE(controller().panel().isVisible());

    screens.setFullScreenWindow(std::nullopt);
    EXPECT_TRUE(controller().panel().isVisible());
    EXPECT_TRUE(model().isExpanded());
    EXPECT_EQ(model().statusText(), u"second"_s);
    EXPECT_EQ(model().statusColor(), Color::green());
    rest(farAway);
    scheduler.advance(3.5);
    EXPECT_FALSE(model().isExpanded());

    // Switched off, a full-screen window changes nothing; switched on again, it counts at once.
    prefs.store->setValue(AppPreferences::hideBesideFullScreen, false);
    screens.setFullScreenWindow(screenFrame);
    EXPECT_TRUE(controller().panel().isVisible());
    prefs.store->setValue(AppPreferences::hideBesideFullScreen, true);
    EXPECT_FALSE(controller().panel().isVisible());
}

TEST_F(NotchPlacementTest, WithOnlyOurOwnWindowsSeenLeavingCountsAndTheShapeTakesInput)
{
    pointer.setGlobal(false);
    controller();
    const QRect collapsedInPanel(180, 0, 220, 32);
    EXPECT_EQ(windowSupport.inputRegion().boundingRect(), collapsedInPanel) << "clicks pass beside the shape";

    rest({ 720, 40 });
    scheduler.advance(0.25);
    ASSERT_TRUE(model().isExpanded());
    EXPECT_TRUE(windowSupport.inputRegion().contains(QRect(0, 0, 580, 250)));

    // The last position seen is inside, and stays so: leaving the window still closes.
    pointer.leave();
    scheduler.advance(0.35);
    EXPECT_FALSE(model().isExpanded());
    controller().flash(u"news"_s, Color::blue());
    scheduler.advance(3.5);
    EXPECT_FALSE(model().isExpanded()) << "a stale position does not hold a flash open";
}

} // namespace

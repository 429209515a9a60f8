#include "NotchControllerFixture.h"

#include <cmath>
#include <limits>

#include <gtest/gtest.h>

namespace {

TEST_F(NotchControllerTest, StartsCollapsedClickThroughAtTheTopCentre)
{
    EXPECT_FALSE(model().isExpanded());
    EXPECT_FALSE(model().isPinned());
    EXPECT_TRUE(controller().panel().isClickThrough());
    EXPECT_EQ(controller().panel().geometry(), QRect(430, 0, 580, 250));
    EXPECT_EQ(controller().geometry().collapsedSize, QSizeF(220, 32));
    EXPECT_EQ(windowSupport.prepared, 1);
}

TEST_F(NotchControllerTest, BusEventsFlashOnlyWhenAskedAndAllowed)
{
    publish(QStringLiteral("quiet"), false);
    EXPECT_FALSE(model().isExpanded());
    EXPECT_EQ(model().statusText(), QStringLiteral(u"Build l\u00e4uft \u00b7 main"));

    prefs.store->setValue(AppPreferences::autoExpandOnEvents, false);
    publish(QStringLiteral("ignored"));
    EXPECT_FALSE(model().isExpanded());
    EXPECT_EQ(model().statusColor(), Color::orange());

    prefs.store->setValue(AppPreferences::autoExpandOnEvents, true);
    publish(QStringLiteral("Review angefragt: Fix"));
    EXPECT_TRUE(model().isExpanded());
    EXPECT_FALSE(controller().panel().isClickThrough());
    EXPECT_EQ(model().statusText(), QStringLiteral("Review angefragt: Fix"));
    EXPECT_EQ(model().statusColor(), Color::blue());

    scheduler.advance(3.49);
    EXPECT_TRUE(model().isExpanded());
    scheduler.advance(0.01);
    EXPECT_FALSE(model().isExpanded());
    EXPECT_TRUE(controller().panel().isClickThrough());
    EXPECT_EQ(model().statusText(), QStringLiteral("Review angefragt: Fix"));
}

TEST_F(NotchControllerTest, SecondFlashReplacesTextAndRestartsTheDuration)
{
    controller().flash(QStringLiteral("first"), Color::blue());
    scheduler.advance(2);
    controller().flash(QStringLiteral("Tests bestanden \u00b7 main"), Color::green());
    EXPECT_EQ(model().statusColor(), Color::green());
    scheduler.advance(3.4);
    EXPECT_TRUE(model().isExpanded());
    scheduler.advance(0.1);
    EXPECT_FALSE(model().isExpanded());

    // A shorter duration after a longer one still takes effect at its own time.
    prefs.store->setValue(AppPreferences::flashDuration, 10.0);
    controller().flash(QStringLiteral("long"), Color::blue());
    prefs.store->setValue(AppPreferences::flashDuration, 1.0);
    controller().flash(QStringLiteral("short"), Color::blue());
    scheduler.advance(1);
    EXPECT_FALSE(model().isExpanded());
}

TEST_F(NotchControllerTest, FlashWhilePinnedUpdatesTextAndStaysOpen)
{
    controller();
    pointer.clickAt(onNotch);
    ASSERT_TRUE(model().isPinned());
    controller().flash(QStringLiteral("news"), Color::blue());
    EXPECT_EQ(model().statusText(), QStringLiteral("news"));
    scheduler.advance(10);
    EXPECT_TRUE(model().isExpanded());
    EXPECT_TRUE(model().isPinned());
}

TEST_F(NotchControllerTest, FlashConditionUsesThePointerAtItsLastMovement)
{
    controller();
    rest(onNotch); // inside C8 while collapsed: a hover opening is pending
    controller().flash(QStringLiteral("news"), Color::blue());
    scheduler.advance(5);
    EXPECT_TRUE(model().isExpanded()) << "the pointer rests on the notch";

    pointer.moveTo(farAway);
    scheduler.advance(0.34);
    EXPECT_TRUE(model().isExpanded());
    scheduler.advance(0.01);
    EXPECT_FALSE(model().isExpanded());

    // Below the notch but inside E, outside C8 at its last movement: collapses on time.
    rest(belowNotchInE);
    controller().flash(QStringLiteral("again"), Color::blue());
    scheduler.advance(3.5);
    EXPECT_FALSE(model().isExpanded());
}

TEST_F(NotchControllerTest, LeavingDuringAFlashShortensIt)
{
    controller().flash(QStringLiteral("news"), Color::blue());
    scheduler.advance(1);
    pointer.moveTo(farAway);
    scheduler.advance(0.2);
    pointer.moveTo(farAway + QPointF(5, 0)); // restarts the delay
    scheduler.advance(0.3);
    EXPECT_TRUE(model().isExpanded());
    scheduler.advance(0.05);
    EXPECT_FALSE(model().isExpanded());
    EXPECT_EQ(scheduler.pendingCount(), 0);
}

TEST_F(NotchControllerTest, HoverOpensAfterTheDelaySinceTheLastMovement)
{
    controller();
    rest(onNotch);
    scheduler.advance(0.2);
    rest(onNotch + QPointF(3, 0));
    scheduler.advance(0.2);
    EXPECT_FALSE(model().isExpanded()) << "each movement restarts the delay";
    scheduler.advance(0.05);
    EXPECT_TRUE(model().isExpanded());
    EXPECT_FALSE(model().isPinned());
    EXPECT_TRUE(controller().isPointerInside());

    // Open: movements inside E24 keep it open, one outside closes it 0.35 s later.
    rest(inLeaveMarginOnly);
    scheduler.advance(5);
    EXPECT_TRUE(model().isExpanded());
    rest(farAway);
    scheduler.advance(0.35);
    EXPECT_FALSE(model().isExpanded());

    // Leaving C8 before the delay runs out prevents the opening.
    rest(inHoverMarginOnly);
    scheduler.advance(0.1);
    rest(farAway);
    scheduler.advance(1);
    EXPECT_FALSE(model().isExpanded());
}

TEST_F(NotchControllerTest, MovingBackInsideCancelsAPendingClose)
{
    controller();
    rest(onNotch);
    scheduler.advance(0.25);
    rest(farAway);
    scheduler.advance(0.2);
    rest(belowNotchInE);
    scheduler.advance(2);
    EXPECT_TRUE(model().isExpanded());
    EXPECT_EQ(scheduler.pendingCount(), 0);
}

TEST_F(NotchControllerTest, WithHoverOffOnlyClicksOpen)
{
    prefs.store->setValue(AppPreferences::hoverOpens, false);
    controller();
    rest(onNotch);
    scheduler.advance(2);
    EXPECT_FALSE(model().isExpanded());
    pointer.clickAt(onNotch);
    EXPECT_TRUE(model().isExpanded());
    EXPECT_TRUE(model().isPinned());
}

TEST_F(NotchControllerTest, ClickRules)
{
    controller();
    pointer.clickAt(inHoverMarginOnly);
    pointer.clickAt(farAway);
    EXPECT_FALSE(model().isExpanded()) << "clicks outside C do nothing while collapsed";

    pointer.clickAt(onNotch);
    EXPECT_TRUE(model().isExpanded());
    EXPECT_TRUE(model().isPinned());
    pointer.clickAt(belowNotchInE);
    EXPECT_TRUE(model().isPinned()) << "a click inside E below the notch does nothing";
    pointer.moveTo(farAway);
    scheduler.advance(2);
    EXPECT_TRUE(model().isExpanded()) << "pinned ignores leaving";
    pointer.clickAt(onNotch);
    EXPECT_FALSE(model().isExpanded());
    EXPECT_FALSE(model().isPinned());

    pointer.clickAt(onNotch);
    pointer.clickAt(inLeaveMarginOnly);
    EXPECT_FALSE(model().isExpanded()) << "a click outside E closes";
    EXPECT_FALSE(model().isPinned());

    // An open (hovered, unpinned) overlay closes on a click outside E too.
    rest(onNotch);
    scheduler.advance(0.25);
    ASSERT_TRUE(model().isExpanded());
    pointer.clickAt(farAway);
    EXPECT_FALSE(model().isExpanded());
}

TEST_F(NotchControllerTest, ClicksDoNotTouchThePendingChange)
{
    controller().flash(QStringLiteral("news"), Color::blue());
    pointer.clickAt(belowNotchInE);
    EXPECT_EQ(scheduler.pendingCount(), 1);
    pointer.clickAt(onNotch); // closes and unpins
    EXPECT_FALSE(model().isExpanded());
    EXPECT_EQ(scheduler.pendingCount(), 1);
    scheduler.advance(3.5); // the flash's close finds the overlay closed already
    EXPECT_FALSE(model().isExpanded());
}

TEST_F(NotchControllerTest, MinimumEdgesAreInsideMaximumEdgesOutside)
{
    controller();
    struct Case {
        QPointF point;
        bool opens;
    };
    const Case cases[] = {
        { { 610, 880 }, true }, // left edge of C
        { { 700, 868 }, true }, // bottom edge of C
        { { 830, 880 }, false }, // right edge
        { { 609.99, 880 }, false }, // just left
        { { 829.99, 899.99 }, true } // top-right corner pixel
    };
    for (const Case &c : cases) {
        pointer.clickAt(c.point);
        EXPECT_EQ(model().isExpanded(), c.opens) << c.point.x() << "," << c.point.y();
        if (model().isExpanded())
            pointer.clickAt(farAway);
    }
    // The top edge (y 900) lies outside C, and outside C8's top (908) a movement leaves.
    pointer.clickAt({ 700, 900 });
    EXPECT_FALSE(model().isExpanded());
    rest({ 700, 907.9 });
    EXPECT_TRUE(controller().isPointerInside());
    rest({ 700, 908 });
    EXPECT_FALSE(controller().isPointerInside());
}

TEST_F(NotchControllerTest, ZeroAndOddFlashDurationsNeverBreakTheTimer)
{
    controller();
    const double values[] = { 0, -3, std::nan(""), -std::numeric_limits<double>::infinity() };
    for (double value : values) {
        prefs.store->setValue(AppPreferences::flashDuration, value);
        controller().flash(QStringLiteral("quick"), Color::blue());
        EXPECT_TRUE(model().isExpanded());
        scheduler.runDue();
        EXPECT_FALSE(model().isExpanded()) << value;
    }

    // Zero while the pointer rests on the notch: nothing collapses.
    prefs.store->setValue(AppPreferences::flashDuration, 0.0);
    rest(onNotch);
    controller().flash(QStringLiteral("stay"), Color::blue());
    scheduler.runDue();
    EXPECT_TRUE(model().isExpanded());
    rest(farAway);
    pointer.clickAt(farAway);

    for (double value : { std::numeric_limits<double>::infinity(), 1e300, double(std::numeric_limits<int>::max()) }) {
        prefs.store->setValue(AppPreferences::flashDuration, value);
        controller().flash(QStringLiteral("long"), Color::blue());
        EXPECT_GT(scheduler.nextDelay(), 3600);
        EXPECT_LE(scheduler.nextDelay(), Scheduler::maximumDelay);
        scheduler.advance(3600);
        EXPECT_TRUE(model().isExpanded()) << value;
        pointer.clickAt(farAway);
    }

    prefs.store->setValue(AppPreferences::flashDuration, QStringLiteral("soon"));
    controller().flash(QStringLiteral("text"), Color::blue());
    scheduler.runDue();
    EXPECT_FALSE(model().isExpanded()) << "a value of the wrong type reads as 0";
}

TEST_F(NotchControllerTest, FollowsScreenChanges)
{
    const QRectF notchedFrame(0, 0, 1512, 982);
    screens.all = { FakeScreenProvider::plain(screenFrame), FakeScreenProvider::notched(notchedFrame, 188, 38) };
    EXPECT_EQ(controller().geometry().collapsedSize, QSizeF(328, 38));
    EXPECT_EQ(controller().geometry().screen.name, QStringLiteral("notched"));
    pointer.clickAt({ 756 - 163, 960 }); // inside the wide notch area, outside 220 x 32
    EXPECT_TRUE(model().isPinned());

    const QRectF wide(0, 0, 2560, 1440);
    screens.change({ FakeScreenProvider::plain(wide) }, FakeScreenProvider::plain(wide));
    EXPECT_EQ(controller().geometry().collapsedSize, QSizeF(220, 32));
    EXPECT_FALSE(controller().geometry().hasNotch);
    EXPECT_EQ(controller().panel().geometry(), QRect(990, 0, 580, 250));
    EXPECT_TRUE(model().isPinned()) << "state and pin survive a screen change";
    pointer.clickAt({ 1280 - 111, 1430 }); // outside the new C, inside the new E
    EXPECT_TRUE(model().isExpanded());
    pointer.clickAt({ 1280 - 109, 1430 });
    EXPECT_FALSE(model().isExpanded());

    // No screen at all: the change is ignored.
    screens.change({}, std::nullopt);
    EXPECT_EQ(controller().geometry().screen.frame, wide);
    EXPECT_EQ(controller().panel().geometry(), QRect(990, 0, 580, 250));
}

TEST_F(NotchControllerTest, HandlersOutlivingTheControllerDoNothing)
{
    controller().flash(QStringLiteral("news"), Color::blue());
    rest(farAway);
    m_controller.reset();
    publish(QStringLiteral("after"));
    pointer.moveTo(onNotch);
    pointer.clickAt(onNotch);
    screens.change({ FakeScreenProvider::plain(screenFrame) }, std::nullopt);
    scheduler.advance(10);
    SUCCEED();
}

TEST(NotchModel, StartsWithTheSeedState)
{
    NotchModel model;
    EXPECT_FALSE(model.isExpanded());
    EXPECT_FALSE(model.isPinned());
    EXPECT_EQ(model.statusText(), QStringLiteral(u"Build l\u00e4uft \u00b7 main"));
    EXPECT_EQ(model.statusText().toUtf8().size(), 20);
    EXPECT_EQ(model.statusColor(), Color::orange());
    ASSERT_EQ(model.rows().size(), 3);
    EXPECT_EQ(model.rows()[0].title, QStringLiteral("Deploy"));
    EXPECT_EQ(model.rows()[1].subtitle, QStringLiteral(u"main \u00b7 vor 2 Min."));
    EXPECT_EQ(model.rows()[2].color, Color::red());

    NotchModel other;
    QSet<QUuid> ids;
    for (const NotchModel *m : { &model, &other }) {
        for (const DemoRow &row : m->rows())
            ids.insert(row.id);
    }
    EXPECT_EQ(ids.size(), 6);

    int notices = 0;
    QObject::connect(&model, &NotchModel::changed, [&] { ++notices; });
    model.setPinned(false);
    model.setStatusText(model.statusText());
    EXPECT_EQ(notices, 2) << "assignments of an equal value are announced too";
}

} // namespace

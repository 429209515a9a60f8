#include "NotchControllerFixture.h"

#include <cmath>
#include <limits>

#include <gtest/gtest.h>

namespace {

using namespace Qt::StringLiterals;

TEST_F(NotchControllerTest, StartsCollapsedClickThroughAtTheTopCentre)
{
    EXPECT_FALSE(model().isExpanded());
    EXPECT_FALSE(model().isPinned());
    EXPECT_TRUE(controller().panel().isClickThrough());
    EXPECT_EQ(controller().panel().geometry(), QRect(430, 0, 580, 250));
    EXPECT_EQ(controller().geometry().collapsedSize, QSizeF(220, 32));
}

TEST_F(NotchControllerTest, BusEventsFlashOnlyWhenAskedAndAllowed)
{
    controller();
    publish(QStringLiteral("quiet"), false);
    EXPECT_FALSE(model().isExpanded());
    EXPECT_EQ(model().statusText(), QStringLiteral("Tarnlet"));

    prefs.store->setValue(AppPreferences::autoExpandOnEvents, false);
    publish(QStringLiteral("ignored"));
    EXPECT_FALSE(model().isExpanded());
    EXPECT_EQ(model().statusColor(), Color::gray());

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
    EXPECT_EQ(model().statusText(), QStringLiteral("Tarnlet")) << "the flash is over";

    // Events flash in their own colour.
    bus.publish(ModuleEvent { QStringLiteral("ci"), QStringLiteral("Build fehlgeschlagen"), true, Color::red() });
    EXPECT_EQ(model().statusColor(), Color::red());
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
    scheduler.advance(2); // the flash's hold on the status line
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
    controller(); // the preference counts from the next movement on
    prefs.store->setValue(AppPreferences::hoverOpens, false);
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
    EXPECT_EQ(scheduler.pendingCount(), 2) << "the close and the flash's end";
    pointer.clickAt(onNotch); // closes and unpins
    EXPECT_FALSE(model().isExpanded());
    EXPECT_EQ(scheduler.pendingCount(), 2);
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
        { { 610, 20 }, true }, // left edge of C
        { { 700, 0 }, true }, // top edge: a pointer pushed against the screen's top
        { { 830, 20 }, false }, // right edge
        { { 609.99, 20 }, false }, // just left
        { { 829.99, 31.99 }, true } // bottom-right corner pixel
    };
    for (const Case &c : cases) {
        pointer.clickAt(c.point);
        EXPECT_EQ(model().isExpanded(), c.opens) << c.point.x() << "," << c.point.y();
        if (model().isExpanded())
            pointer.clickAt(farAway);
    }
    // The bottom edge (y 32) lies outside C, and outside C8's bottom (40) a movement leaves.
    pointer.clickAt({ 700, 32 });
    EXPECT_FALSE(model().isExpanded());
    rest({ 700, 39.9 });
    EXPECT_TRUE(controller().isPointerInside());
    rest({ 700, 40 });
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
    screens.setScreens(
        { HeadlessScreenProvider::plain(screenFrame), HeadlessScreenProvider::notched(notchedFrame, 188, 38) },
        HeadlessScreenProvider::plain(screenFrame));
    EXPECT_EQ(controller().geometry().collapsedSize, QSizeF(328, 38));
    EXPECT_EQ(controller().geometry().screen.name, QStringLiteral("notched"));
    pointer.clickAt({ 756 - 163, 22 }); // inside the wide notch area, outside 220 x 32
    EXPECT_TRUE(model().isPinned());

    const QRectF wide(0, 0, 2560, 1440);
    screens.setScreens({ HeadlessScreenProvider::plain(wide) }, HeadlessScreenProvider::plain(wide));
    EXPECT_EQ(controller().geometry().collapsedSize, QSizeF(220, 32));
    EXPECT_FALSE(controller().geometry().hasNotch);
    EXPECT_EQ(controller().panel().geometry(), QRect(990, 0, 580, 250));
    EXPECT_TRUE(model().isPinned()) << "state and pin survive a screen change";
    pointer.clickAt({ 1280 - 111, 10 }); // outside the new C, inside the new E
    EXPECT_TRUE(model().isExpanded());
    pointer.clickAt({ 1280 - 109, 10 });
    EXPECT_FALSE(model().isExpanded());

    // No screen at all: the change is ignored.
    screens.setScreens({}, std::nullopt);
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
    screens.setScreens({ HeadlessScreenProvider::plain(screenFrame) }, std::nullopt);
    scheduler.advance(10);
    SUCCEED();
}

TEST_F(NotchControllerTest, RowsFollowTheSwitchedOnModulesInRegistryOrder)
{
    controller();
    RowModule &second = addModule(QStringLiteral("second"), numberedRows(2, QStringLiteral("Second")));
    settle();
    EXPECT_EQ(titles(), (QStringList { u"Row 1"_s, u"Row 2"_s, u"Row 3"_s, u"Second 1"_s, u"Second 2"_s }));
    EXPECT_EQ(controller().panel().geometry(), QRect(430, 0, 580, 250 + 2 * 59)) << "the panel grows with the rows";

    // Several notices in one turn: nothing before the turn ends, then the last state.
    module(QStringLiteral("first")).setRows(numberedRows(4));
    module(QStringLiteral("first")).setRows(numberedRows(1));
    EXPECT_EQ(model().rows().size(), 5);
    settle();
    EXPECT_EQ(titles(), (QStringList { u"Row 1"_s, u"Second 1"_s, u"Second 2"_s }));
    EXPECT_EQ(controller().panel().geometry(), QRect(430, 0, 580, 250));

    registry.setEnabled(false, QStringLiteral("first"));
    settle();
    EXPECT_EQ(titles(), (QStringList { u"Second 1"_s, u"Second 2"_s }));
    registry.setEnabled(false, QStringLiteral("second"));
    settle();
    EXPECT_TRUE(model().rows().isEmpty());
    second.setRows(numberedRows(1, QStringLiteral("Second")));
    registry.setEnabled(true, QStringLiteral("second"));
    settle();
    EXPECT_EQ(titles(), (QStringList { u"Second 1"_s }));
}

TEST_F(NotchControllerTest, MoreThanSevenRowsEndInACount)
{
    controller();
    RowModule &second = addModule(QStringLiteral("second"), numberedRows(4, QStringLiteral("Second")));
    settle();
    ASSERT_EQ(model().rows().size(), 7) << "seven fit";
    EXPECT_EQ(model().rows().last().title, QStringLiteral("Second 4"));

    second.setRows(numberedRows(6, QStringLiteral("Second")));
    settle();
    ASSERT_EQ(model().rows().size(), 7);
    EXPECT_EQ(model().rows()[5].title, QStringLiteral("Second 3"));
    const ModuleRow &more = model().rows().last();
    EXPECT_EQ(more.title, QStringLiteral("+3 weitere")) << "Second 4 to 6";
    EXPECT_EQ(more.color, Color::gray());
    EXPECT_TRUE(more.link.isEmpty());
    EXPECT_EQ(controller().panel().geometry().height(), 250 + 4 * 59);
}

TEST_F(NotchControllerTest, StatusLineIsTheFirstModuleStatusAndReturnsAfterAFlash)
{
    QSignalSpy lineChanges(&controller(), &NotchController::statusLineChanged);
    RowModule &second = addModule(QStringLiteral("second"));
    second.setStatus(ModuleStatus { QStringLiteral("2 von 3 Containern laufen"), Color::green() });
    settle();
    EXPECT_EQ(model().statusText(), QStringLiteral("2 von 3 Containern laufen"));
    module(QStringLiteral("first")).setStatus(ModuleStatus { QStringLiteral("CI · main"), Color::orange() });
    settle();
    EXPECT_EQ(model().statusText(), QStringLiteral("CI · main")) << "the first module with a status wins";
    EXPECT_EQ(model().statusColor(), Color::orange());
    EXPECT_EQ(lineChanges.count(), 2);

    // A flash holds the line for its duration, also against module changes and a pinned overlay.
    pointer.clickAt(onNotch);
    controller().flash(QStringLiteral("Review angefragt: Fix"), Color::blue());
    module(QStringLiteral("first")).setStatus(ModuleStatus { QStringLiteral("CI · main"), Color::red() });
    settle();
    EXPECT_EQ(model().statusText(), QStringLiteral("Review angefragt: Fix"));
    EXPECT_EQ(controller().liveStatus().color, Color::red());
    scheduler.advance(3.5);
    EXPECT_TRUE(model().isPinned());
    EXPECT_EQ(model().statusText(), QStringLiteral("CI · main"));
    EXPECT_EQ(model().statusColor(), Color::red());

    registry.setEnabled(false, QStringLiteral("first"));
    registry.setEnabled(false, QStringLiteral("second"));
    settle();
    EXPECT_EQ(model().statusText(), QStringLiteral("Tarnlet"));
    EXPECT_EQ(model().statusColor(), Color::gray());
}

TEST_F(NotchControllerTest, AgesAreRedrawnOnlyWhileOpen)
{
    ModuleRow aged = numberedRows(1).first();
    aged.since = QDateTime::currentDateTimeUtc().addSecs(-30);
    module(QStringLiteral("first")).setRows({ aged });
    controller();
    EXPECT_EQ(scheduler.pendingCount(), 0) << "collapsed: nothing ticks";

    pointer.clickAt(onNotch);
    ASSERT_EQ(scheduler.pendingCount(), 1);
    EXPECT_LT(scheduler.nextDelay(), 1.1) << "the age reads in seconds";
    int redraws = 0;
    QObject::connect(&model(), &NotchModel::changed, [&] { ++redraws; });
    scheduler.advance(scheduler.nextDelay());
    EXPECT_EQ(redraws, 1);
    EXPECT_EQ(scheduler.pendingCount(), 1) << "armed again for the next change";

    pointer.clickAt(onNotch);
    EXPECT_EQ(scheduler.pendingCount(), 0);
}

TEST_F(NotchControllerTest, AClickOnARowOpensItsPageAndKeepsThePin)
{
    module(QStringLiteral("first"))
        .setRows(
            { numberedRows(1).first(), ModuleRow { QStringLiteral("No page"), {}, std::nullopt, Color::gray(), {} },
                ModuleRow {
                    QStringLiteral("Elsewhere"), {}, std::nullopt, Color::gray(), QUrl(u"https://example.com/"_s) } });
    controller();
    pointer.clickAt(rowCentre(0));
    EXPECT_TRUE(opened.opened.isEmpty()) << "collapsed, the rows are not there";

    pointer.clickAt(onNotch);
    pointer.clickAt(rowCentre(0));
    EXPECT_EQ(opened.opened, (QList<QUrl> { QUrl(u"https://github.com/o/r/actions/runs/1"_s) }));
    EXPECT_TRUE(model().isPinned());
    EXPECT_TRUE(model().isExpanded());
    pointer.clickAt(rowCentre(1));
    pointer.clickAt(rowCentre(2));
    EXPECT_EQ(opened.opened.size(), 1) << "no page, or none of GitHub's";

    // Opened by hovering: the click opens the page and leaves the overlay unpinned.
    pointer.clickAt(onNotch);
    rest(onNotch);
    scheduler.advance(0.25);
    pointer.clickAt(rowCentre(0));
    EXPECT_EQ(opened.opened.size(), 2);
    EXPECT_FALSE(model().isPinned());
    EXPECT_TRUE(model().isExpanded());
}
} // namespace

#include "NotchControllerFixture.h"

#include <cmath>
#include <limits>

namespace {

using namespace Qt::StringLiterals;

TEST_F(NotchControllerTest, BusEventsFlashInTheirColourOnlyWhenAskedAndAllowed)
{
    EXPECT_TRUE(controller().panel().isClickThrough());
    publish(u"quiet"_s, false);
    prefs.store->setValue(AppPreferences::autoExpandOnEvents, false);
    publish(u"ignored"_s);
    EXPECT_FALSE(model().isExpanded());
    EXPECT_EQ(model().statusText(), u"Tarnlet"_s);

    prefs.store->setValue(AppPreferences::autoExpandOnEvents, true);
    bus.publish(ModuleEvent { u"ci"_s, u"Build fehlgeschlagen"_s, true, Color::red() });
    EXPECT_FALSE(controller().panel().isClickThrough());
    EXPECT_EQ(model().statusText(), u"Build fehlgeschlagen"_s);
    EXPECT_EQ(model().statusColor(), Color::red());
    scheduler.advance(3.49);
    EXPECT_TRUE(model().isExpanded());
    scheduler.advance(0.01);
    EXPECT_FALSE(model().isExpanded());
    EXPECT_TRUE(controller().panel().isClickThrough());
    EXPECT_EQ(model().statusText(), u"Tarnlet"_s) << "the flash is over";
}

TEST_F(NotchControllerTest, EachFlashRestartsTheDurationAndOddDurationsNeverBreakTheTimer)
{
    controller().flash(u"first"_s, Color::blue());
    scheduler.advance(2);
    controller().flash(u"second"_s, Color::green());
    scheduler.advance(3.4);
    EXPECT_TRUE(model().isExpanded());
    scheduler.advance(0.1);
    EXPECT_FALSE(model().isExpanded());

    // A shorter duration after a longer one still takes effect at its own time.
    prefs.store->setValue(AppPreferences::flashDuration, 10.0);
    controller().flash(u"long"_s, Color::blue());
    prefs.store->setValue(AppPreferences::flashDuration, 1.0);
    controller().flash(u"short"_s, Color::blue());
    scheduler.advance(1);
    EXPECT_FALSE(model().isExpanded());

    // Zero, NaN, negative and a value of the wrong type read as 0; infinity as the longest delay.
    for (const QVariant &value : { QVariant(0.0), QVariant(std::nan("")), QVariant(-3.0), QVariant(u"soon"_s) }) {
        prefs.store->setValue(AppPreferences::flashDuration, value);
        controller().flash(u"quick"_s, Color::blue());
        scheduler.runDue();
        EXPECT_FALSE(model().isExpanded()) << value.toString().toStdString();
    }
    prefs.store->setValue(AppPreferences::flashDuration, std::numeric_limits<double>::infinity());
    controller().flash(u"long"_s, Color::blue());
    scheduler.advance(3600);
    EXPECT_TRUE(model().isExpanded());
}

TEST_F(NotchControllerTest, AFlashEndsOnlyWithThePointerOutsideAndUnpinned)
{
    controller();
    rest(onNotch); // inside C8 while collapsed: a hover opening is pending
    controller().flash(u"news"_s, Color::blue());
    scheduler.advance(5);
    EXPECT_TRUE(model().isExpanded()) << "the pointer rests on the notch";

    // Leaving during a flash closes after the leave delay, each movement restarting it.
    pointer.moveTo(farAway);
    scheduler.advance(0.2);
    pointer.moveTo(farAway + QPointF(5, 0));
    scheduler.advance(0.34);
    EXPECT_TRUE(model().isExpanded());
    scheduler.advance(0.01);
    EXPECT_FALSE(model().isExpanded());

    // Below the notch but inside E, outside C8 at its last movement: collapses on time.
    rest(belowNotchInE);
    controller().flash(u"again"_s, Color::blue());
    scheduler.advance(3.5);
    EXPECT_FALSE(model().isExpanded());
    EXPECT_EQ(scheduler.pendingCount(), 0);

    // Pinned: the text changes, the overlay stays.
    pointer.clickAt(onNotch);
    controller().flash(u"pinned"_s, Color::blue());
    EXPECT_EQ(model().statusText(), u"pinned"_s);
    scheduler.advance(10);
    EXPECT_TRUE(model().isPinned());
}

TEST_F(NotchControllerTest, HoverOpensAfterTheDelaySinceTheLastMovementAndLeavingCloses)
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

    // Open: movements inside E24 keep it open, one outside closes it 0.35 s later unless the
    // pointer comes back first.
    rest(inLeaveMarginOnly);
    scheduler.advance(5);
    rest(farAway);
    scheduler.advance(0.2);
    rest(belowNotchInE);
    scheduler.advance(2);
    EXPECT_TRUE(model().isExpanded());
    EXPECT_EQ(scheduler.pendingCount(), 0);
    rest(farAway);
    scheduler.advance(0.35);
    EXPECT_FALSE(model().isExpanded());

    // Leaving C8 before the delay runs out prevents the opening.
    rest(inHoverMarginOnly);
    scheduler.advance(0.1);
    rest(farAway);
    scheduler.advance(1);
    EXPECT_FALSE(model().isExpanded());

    // With hover off (read at the next movement) only clicks open.
    prefs.store->setValue(AppPreferences::hoverOpens, false);
    rest(onNotch);
    scheduler.advance(2);
    EXPECT_FALSE(model().isExpanded());
}

TEST_F(NotchControllerTest, ClicksPinOnTheNotchAndCloseOutsideTheOpenArea)
{
    controller().flash(u"news"_s, Color::blue());
    pointer.clickAt(belowNotchInE);
    EXPECT_EQ(scheduler.pendingCount(), 2) << "a click inside E leaves the close and the flash's end";
    pointer.clickAt(onNotch);
    EXPECT_FALSE(model().isExpanded());
    scheduler.advance(3.5);

    pointer.clickAt(inHoverMarginOnly);
    pointer.clickAt(farAway);
    EXPECT_FALSE(model().isExpanded()) << "clicks outside C do nothing while collapsed";
    pointer.clickAt(onNotch);
    EXPECT_TRUE(model().isPinned());
    pointer.clickAt(belowNotchInE);
    pointer.moveTo(farAway);
    scheduler.advance(2);
    EXPECT_TRUE(model().isPinned()) << "inside E below the notch a click does nothing; pinned ignores leaving";
    pointer.clickAt(inLeaveMarginOnly);
    EXPECT_FALSE(model().isExpanded()) << "a click outside E closes";
    EXPECT_FALSE(model().isPinned());

    // C's left and top edges are inside, its right and bottom ones outside; C8's bottom is 40.
    const std::pair<QPointF, bool> edges[]
        = { { { 610, 20 }, true }, { { 700, 0 }, true }, { { 829.99, 31.99 }, true }, { { 830, 20 }, false },
              { { 609.99, 20 }, false }, { { 700, 32 }, false } };
    for (const auto &[point, opens] : edges) {
        pointer.clickAt(point);
        EXPECT_EQ(model().isExpanded(), opens) << point.x() << "," << point.y();
        if (opens)
            pointer.clickAt(farAway);
    }
    rest({ 700, 39.9 });
    EXPECT_TRUE(controller().isPointerInside());
    rest({ 700, 40 });
    EXPECT_FALSE(controller().isPointerInside());
}

TEST_F(NotchControllerTest, TheNotchAreaHugsTheHousingAndHandlersOutlivingTheControllerDoNothing)
{
    const ScreenInfo notched = HeadlessScreenProvider::notched(QRectF(0, 0, 1512, 982), 188, 38);
    screens.setScreens({ notched }, notched);
    controller();
    pointer.clickAt({ 756 - 163, 22 }); // inside the wide notch area, outside 220 x 32
    EXPECT_TRUE(model().isPinned());

    controller().flash(u"news"_s, Color::blue());
    m_controller.reset();
    publish(u"after"_s);
    pointer.clickAt(onNotch);
    screens.setScreens({ HeadlessScreenProvider::plain(screenFrame) }, std::nullopt);
    scheduler.advance(10);
}

TEST_F(NotchControllerTest, RowsFollowTheSwitchedOnModulesOnceATurnAndEndInACountBeyondSeven)
{
    controller();
    RowModule &second = addModule(u"second"_s, numberedRows(2, u"Second"_s));
    settle();
    EXPECT_EQ(titles(), (QStringList { u"Row 1"_s, u"Row 2"_s, u"Row 3"_s, u"Second 1"_s, u"Second 2"_s }));
    EXPECT_EQ(controller().panel().geometry(), QRect(430, 0, 580, 250 + 2 * 59)) << "the panel grows with the rows";

    module(u"first"_s).setRows(numberedRows(4));
    module(u"first"_s).setRows(numberedRows(1));
    EXPECT_EQ(model().rows().size(), 5) << "nothing before the turn ends";
    settle();
    EXPECT_EQ(titles(), (QStringList { u"Row 1"_s, u"Second 1"_s, u"Second 2"_s }));
    EXPECT_EQ(controller().panel().geometry(), QRect(430, 0, 580, 250));

    registry.setEnabled(false, u"first"_s);
    second.setRows(numberedRows(7, u"Second"_s));
    settle();
    EXPECT_EQ(titles().mid(5), (QStringList { u"Second 6"_s, u"Second 7"_s })) << "seven fit";
    registry.setEnabled(true, u"first"_s);
    settle();
    ASSERT_EQ(model().rows().size(), 7);
    EXPECT_EQ(titles()[5], u"Second 5"_s);
    const ModuleRow &more = model().rows().last();
    EXPECT_EQ(more.title, u"+2 weitere"_s);
    EXPECT_EQ(more.color, Color::gray());
    EXPECT_TRUE(more.link.isEmpty());
}

TEST_F(NotchControllerTest, StatusLineIsTheFirstModuleStatusAndReturnsAfterAFlash)
{
    QSignalSpy lineChanges(&controller(), &NotchController::statusLineChanged);
    addModule(u"second"_s).setStatus(ModuleStatus { u"2 von 3 Containern laufen"_s, Color::green() });
    settle();
    EXPECT_EQ(model().statusText(), u"2 von 3 Containern laufen"_s);
    module(u"first"_s).setStatus(ModuleStatus { u"CI · main"_s, Color::orange() });
    settle();
    EXPECT_EQ(model().statusText(), u"CI · main"_s) << "the first module with a status wins";
    EXPECT_EQ(lineChanges.count(), 2);

    // A flash holds the line for its duration, also against module changes and a pinned overlay.
    pointer.clickAt(onNotch);
    controller().flash(u"Review angefragt: Fix"_s, Color::blue());
    module(u"first"_s).setStatus(ModuleStatus { u"CI · main"_s, Color::red() });
    settle();
    EXPECT_EQ(model().statusText(), u"Review angefragt: Fix"_s);
    EXPECT_EQ(controller().liveStatus().color, Color::red());
    scheduler.advance(3.5);
    EXPECT_EQ(model().statusText(), u"CI · main"_s);
    EXPECT_EQ(model().statusColor(), Color::red());

    registry.setEnabled(false, u"first"_s);
    registry.setEnabled(false, u"second"_s);
    settle();
    EXPECT_EQ(model().statusText(), u"Tarnlet"_s);
    EXPECT_EQ(model().statusColor(), Color::gray());
}

TEST_F(NotchControllerTest, AgesAreRedrawnOnlyWhileOpen)
{
    ModuleRow aged = numberedRows(1).first();
    aged.since = QDateTime::currentDateTimeUtc().addSecs(-30);
    module(u"first"_s).setRows({ aged });
    controller();
    EXPECT_EQ(scheduler.pendingCount(), 0) << "collapsed: nothing ticks";

    pointer.clickAt(onNotch);
    EXPECT_LT(scheduler.nextDelay(), 1.1) << "the age reads in seconds";
    int redraws = 0;
    QObject::connect(&model(), &NotchModel::changed, [&] { ++redraws; });
    scheduler.advance(scheduler.nextDelay());
    EXPECT_EQ(redraws, 1);
    EXPECT_EQ(scheduler.pendingCount(), 1) << "armed again for the next change";

    pointer.clickAt(onNotch);
    EXPECT_EQ(scheduler.pendingCount(), 0);
}

TEST_F(NotchControllerTest, AClickOnARowOpensItsGitHubPageAndKeepsThePin)
{
    const ModuleRow elsewhere { u"Elsewhere"_s, {}, std::nullopt, Color::gray(), QUrl(u"https://example.com/"_s) };
    module(u"first"_s).setRows({ numberedRows(1).first(), elsewhere });
    controller();
    pointer.clickAt(rowCentre(0));
    EXPECT_TRUE(opened.opened.isEmpty()) << "collapsed, the rows are not there";

    pointer.clickAt(onNotch);
    pointer.clickAt(rowCentre(0));
    pointer.clickAt(rowCentre(1));
    EXPECT_EQ(opened.opened, (QList<QUrl> { QUrl(u"https://github.com/o/r/actions/runs/1"_s) }));
    EXPECT_TRUE(model().isPinned());

    // Opened by hovering: the click opens the page and leaves the overlay open, unpinned.
    pointer.clickAt(onNotch);
    rest(onNotch);
    scheduler.advance(0.25);
    pointer.clickAt(rowCentre(0));
    EXPECT_EQ(opened.opened.size(), 2);
    EXPECT_FALSE(model().isPinned());
    EXPECT_TRUE(model().isExpanded());
}

} // namespace

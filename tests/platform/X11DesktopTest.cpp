// The X11 services on a real (private) X display: raw pointer events, the events of our own
// windows, compositor tracking. (The screens are read by the overlay's whole-program test.)
#include "QtPrinters.h"

#include "platform/x11/X11PanelWindowSupport.h"
#include "platform/x11/X11PointerMonitor.h"

#include <QProcess>
#include <QSignalSpy>
#include <QTest>
#include <QWidget>

#include <algorithm>

#include <gtest/gtest.h>

namespace {

using namespace Qt::StringLiterals;

// Runs xdotool with these space-separated arguments.
void xdotool(const QString &args)
{
    ASSERT_EQ(QProcess::execute(u"xdotool"_s, args.split(u' ')), 0) << args.toStdString();
}

// The pointer events of this type the spy has seen, once `minimum` arrived or after `settle` ms
// more (so that events that should not come have had their chance).
qsizetype seen(QSignalSpy &spy, PointerEventType type, qsizetype minimum = 1, int settle = 300)
{
    const auto count = [&] {
        return std::count_if(spy.cbegin(), spy.cend(),
            [type](const QList<QVariant> &event) { return event.first().value<PointerEventType>() == type; });
    };
    for (int waited = 0; waited < 5000 && count() < minimum; waited += 20)
        QTest::qWait(20);
    QTest::qWait(settle);
    return count();
}

TEST(X11PointerMonitor, ReportsRawMotionOncePerBatchAndLeftPressesOnceEach)
{
    X11PointerMonitor monitor;
    ASSERT_TRUE(monitor.isGlobal());
    xdotool(u"mousemove 100 100"_s);
    QTest::qWait(200);
    QSignalSpy spy(&monitor, &PointerMonitor::pointerEvent);
    xdotool(u"mousemove_relative 10 20"_s);
    EXPECT_GT(seen(spy, PointerEventType::MouseMoved, 1, 0), 0);
    EXPECT_EQ(monitor.position(), QPointF(110, 120));

    spy.clear();
    xdotool(u"click 1 click 3 click 1"_s);
    EXPECT_EQ(seen(spy, PointerEventType::LeftMouseDown, 2), 2) << "each left click once, the right one not";

    // A drag is a press and no movement; movements count again once the button is up.
    spy.clear();
    xdotool(u"mousedown 1 mousemove_relative 30 0"_s);
    EXPECT_EQ(seen(spy, PointerEventType::LeftMouseDown), 1);
    EXPECT_EQ(spy.size(), 1);
    spy.clear();
    xdotool(u"mouseup 1 mousemove_relative 10 0"_s);
    EXPECT_GT(seen(spy, PointerEventType::MouseMoved, 1, 0), 0);

    // Five hundred movements while the GUI thread waits for xdotool, as under a fast mouse on a
    // busy machine: they are all waiting when the event loop runs again, and cost one report.
    spy.clear();
    xdotool(u"mousemove_relative -- 1 0"_s.repeated(500).replace(u"0m"_s, u"0 m"_s));
    EXPECT_LT(seen(spy, PointerEventType::MouseMoved), 50);
    EXPECT_EQ(monitor.position(), QPointF(650, 120));
}

TEST(X11PointerMonitor, OverOurOwnWindowsOnlyEnteringMovingAndLeavingTheInputRegionCount)
{
    X11PanelWindowSupport support;
    X11PointerMonitor monitor(X11PointerMonitor::Reach::OwnWindows);
    EXPECT_FALSE(monitor.isGlobal());
    QWidget window;
    support.prepare(window);
    window.setGeometry(100, 100, 200, 100);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    support.setInputRegion(window, QRegion(0, 0, 100, 100)); // the left half takes input

    xdotool(u"mousemove 500 500"_s);
    const auto after = [&monitor](const QString &moveAndClick, PointerEventType type) {
        QSignalSpy spy(&monitor, &PointerMonitor::pointerEvent);
        xdotool(moveAndClick);
        return seen(spy, type, 1, 0) > 0;
    };
    EXPECT_TRUE(after(u"mousemove 150 150"_s, PointerEventType::MouseMoved));
    EXPECT_TRUE(after(u"mousemove 250 150"_s, PointerEventType::Left)) << "beside the input region is elsewhere";
    EXPECT_FALSE(after(u"click 1"_s, PointerEventType::LeftMouseDown)) << "clicks beside it pass through";
    EXPECT_TRUE(after(u"mousemove 150 150 click 1"_s, PointerEventType::LeftMouseDown));
}

TEST(X11PanelWindowSupport, FollowsTheCompositingManager)
{
    X11PanelWindowSupport support;
    EXPECT_TRUE(support.needsShapeMask()) << "a bare X server shows transparent pixels as black";

    QSignalSpy spy(&support, &PanelWindowSupport::needsShapeMaskChanged);
    QProcess compositor;
    compositor.start(u"xcompmgr"_s, {});
    ASSERT_TRUE(compositor.waitForStarted());
    ASSERT_TRUE(spy.wait(5000));
    EXPECT_FALSE(support.needsShapeMask());

    compositor.terminate(); // by its own pid
    compositor.waitForFinished();
    ASSERT_TRUE(spy.wait(5000));
    EXPECT_TRUE(support.needsShapeMask());
}

} // namespace

// The X11 services on a real (private) X display: screens, raw pointer events, the events of
// our own windows, compositor tracking.
#include "QtPrinters.h"

#include "platform/x11/X11PanelWindowSupport.h"
#include "platform/x11/X11PointerMonitor.h"
#include "platform/x11/X11ScreenProvider.h"

#include <QProcess>
#include <QSignalSpy>
#include <QTest>
#include <QWidget>

#include <algorithm>

#include <gtest/gtest.h>

namespace {

void xdotool(const QStringList &args)
{
    ASSERT_EQ(QProcess::execute(QStringLiteral("xdotool"), args), 0) << args.join(QLatin1Char(' ')).toStdString();
}

TEST(X11ScreenProvider, ReportsQtsScreensWithoutAHousing)
{
    X11ScreenProvider screens;
    const QList<ScreenInfo> all = screens.screens();
    ASSERT_EQ(all.size(), 1);
    EXPECT_EQ(all.first().frame, QRectF(0, 0, 1920, 1080));
    EXPECT_EQ(all.first().topInset, 0);
    EXPECT_FALSE(all.first().auxiliaryTopLeftArea.has_value());
    EXPECT_EQ(screens.mainScreen(), all.first());
}

TEST(X11PointerMonitor, ReportsRawMotionAndLeftPressesOnceEach)
{
    X11PointerMonitor monitor;
    ASSERT_TRUE(monitor.isGlobal());
    QSignalSpy spy(&monitor, &PointerMonitor::pointerEvent);

    xdotool({ QStringLiteral("mousemove"), QStringLiteral("100"), QStringLiteral("100") });
    QTest::qWait(200);
    spy.clear();
    xdotool({ QStringLiteral("mousemove_relative"), QStringLiteral("10"), QStringLiteral("20") });
    ASSERT_TRUE(spy.wait(5000));
    EXPECT_EQ(spy.first().first().value<PointerEventType>(), PointerEventType::MouseMoved);
    EXPECT_EQ(monitor.position(), QPointF(110, 120));

    spy.clear();
    for (const char *button : { "1", "3", "1" })
        xdotool({ QStringLiteral("click"), QString::fromLatin1(button) });
    const auto leftPresses = [&spy] {
        return std::count_if(spy.cbegin(), spy.cend(), [](const QList<QVariant> &event) {
            return event.first().value<PointerEventType>() == PointerEventType::LeftMouseDown;
        });
    };
    for (int waited = 0; waited < 5000 && leftPresses() < 2; waited += 20)
        QTest::qWait(20);
    QTest::qWait(300);
    EXPECT_EQ(leftPresses(), 2) << "two left clicks, each once; the right click is not reported";

    // A drag is a press and no movement; movements count again once the button is up.
    spy.clear();
    xdotool({ QStringLiteral("mousedown"), QStringLiteral("1"), QStringLiteral("mousemove_relative"),
        QStringLiteral("30"), QStringLiteral("0") });
    ASSERT_TRUE(spy.wait(5000));
    QTest::qWait(300);
    ASSERT_EQ(spy.size(), 1);
    EXPECT_EQ(spy.first().first().value<PointerEventType>(), PointerEventType::LeftMouseDown);
    spy.clear();
    xdotool({ QStringLiteral("mouseup"), QStringLiteral("1"), QStringLiteral("mousemove_relative"),
        QStringLiteral("10"), QStringLiteral("0") });
    ASSERT_TRUE(spy.wait(5000));
    EXPECT_EQ(spy.first().first().value<PointerEventType>(), PointerEventType::MouseMoved);
}

TEST(X11PointerMonitor, AFloodOfMotionCostsOneReportPerBatch)
{
    X11PointerMonitor monitor;
    xdotool({ QStringLiteral("mousemove"), QStringLiteral("500"), QStringLiteral("500") });
    QTest::qWait(200);
    QSignalSpy spy(&monitor, &PointerMonitor::pointerEvent);

    // Five hundred movements while the GUI thread waits for xdotool, as under a fast mouse on a
    // busy machine: they are all waiting when the event loop runs again.
    QStringList moves;
    for (int i = 0; i < 250; ++i)
        moves << QStringLiteral("mousemove_relative") << QStringLiteral("--") << QStringLiteral("2")
              << QStringLiteral("0") << QStringLiteral("mousemove_relative") << QStringLiteral("--")
              << QStringLiteral("-1") << QStringLiteral("0");
    xdotool(moves);
    ASSERT_TRUE(spy.wait(5000));
    QTest::qWait(300);
    EXPECT_LT(spy.size(), 50) << "one report per movement";
    EXPECT_EQ(monitor.position(), QPointF(750, 500));
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

    const auto seen = [&monitor](const QStringList &moveAndClick, PointerEventType type) {
        QSignalSpy spy(&monitor, &PointerMonitor::pointerEvent);
        xdotool(moveAndClick);
        for (int waited = 0; waited < 600; waited += 20) {
            if (std::any_of(spy.cbegin(), spy.cend(),
                    [type](const QList<QVariant> &event) { return event.first().value<PointerEventType>() == type; }))
                return true;
            QTest::qWait(20);
        }
        return false;
    };
    xdotool({ QStringLiteral("mousemove"), QStringLiteral("500"), QStringLiteral("500") });
    EXPECT_TRUE(seen(
        { QStringLiteral("mousemove"), QStringLiteral("150"), QStringLiteral("150") }, PointerEventType::MouseMoved));
    EXPECT_TRUE(
        seen({ QStringLiteral("mousemove"), QStringLiteral("250"), QStringLiteral("150") }, PointerEventType::Left))
        << "beside the input region the pointer is elsewhere";
    EXPECT_FALSE(seen({ QStringLiteral("click"), QStringLiteral("1") }, PointerEventType::LeftMouseDown))
        << "clicks beside the input region pass through";
    EXPECT_TRUE(seen({ QStringLiteral("mousemove"), QStringLiteral("150"), QStringLiteral("150"),
                         QStringLiteral("click"), QStringLiteral("1") },
        PointerEventType::LeftMouseDown));
}

TEST(X11PanelWindowSupport, FollowsTheCompositingManager)
{
    X11PanelWindowSupport support;
    EXPECT_TRUE(support.needsShapeMask()) << "a bare X server shows transparent pixels as black";

    QSignalSpy spy(&support, &PanelWindowSupport::needsShapeMaskChanged);
    QProcess compositor;
    compositor.start(QStringLiteral("xcompmgr"), {});
    ASSERT_TRUE(compositor.waitForStarted());
    ASSERT_TRUE(spy.wait(5000));
    EXPECT_FALSE(support.needsShapeMask());

    compositor.terminate(); // by its own pid
    compositor.waitForFinished();
    ASSERT_TRUE(spy.wait(5000));
    EXPECT_TRUE(support.needsShapeMask());
}

} // namespace

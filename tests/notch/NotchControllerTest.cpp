#include "GitHubPages.h"
#include "ManualScheduler.h"
#include "QtPrinters.h"
#include "RowModule.h"
#include "TempPreferences.h"
#include "UrlSink.h"

#include "core/EventBus.h"
#include "core/LinkGate.h"
#include "core/ModuleContent.h"
#include "core/ModuleRegistry.h"
#include "core/NewsGate.h"
#include "core/NewsHistory.h"
#include "core/StatusLine.h"
#include "core/prefs/AppPreferences.h"
#include "notch/NotchController.h"
#include "notch/NotchModel.h"
#include "notch/NotchPanel.h"
#include "notch/NotchView.h"
#include "platform/headless/HeadlessDesktop.h"

#include <QAccessible>
#include <QCoreApplication>
#include <QSignalSpy>

#include <cmath>
#include <limits>

#include <gtest/gtest.h>

namespace {

using namespace Qt::StringLiterals;

// Rows titled "<prefix> 1", "<prefix> 2" …, each opening its own run page.
QList<ModuleRow> numberedRows(int count, const QString &prefix = u"Row"_s)
{
    QList<ModuleRow> rows;
    for (int i = 1; i <= count; ++i)
        rows.append(ModuleRow { u"%1 %2"_s.arg(prefix).arg(i), u"main"_s, std::nullopt, ModuleStatus::Severity::Fine,
            QUrl(u"https://github.com/o/r/actions/runs/%1"_s.arg(i)) });
    return rows;
}

// A 1440 x 900 screen: the collapsed area C spans x 610..830, y 0..32; the open area E, with three
// rows, x 430..1010, y 0..250.
const QRectF screenFrame(0, 0, 1440, 900);
const QRect openOnA(430, 0, 580, 250);
const QPointF onNotch(720, 10);
const QPointF belowNotchInE(720, 55);
const QPointF farAway(100, 800);
const QPointF inLeaveMarginOnly(420, 200); // inside E grown by 24

// The controller is created on first use, so that a test can set screens and preferences up first.
class NotchControllerTest : public ::testing::Test {
protected:
    NotchControllerTest()
    {
        const ScreenInfo screen = HeadlessScreenProvider::plain(screenFrame);
        screens.setScreens({ screen }, screen);
        AppPreferences::registerDefaults(*prefs.store);
        registry.registerModule(std::make_unique<RowModule>(u"first"_s, numberedRows(3)));
    }

    NotchController &controller()
    {
        if (!m_controller) {
            m_content = std::make_unique<ModuleContent>(registry);
            m_statusLine = std::make_unique<StatusLine>(*m_content, scheduler);
            m_news = std::make_unique<NewsGate>(bus, registry, *prefs.store, scheduler);
            m_controller = std::make_unique<NotchController>(*m_news, *m_content, *m_statusLine, links, *prefs.store,
                scheduler, screens, pointer, windowSupport, reduceMotion);
        }
        return *m_controller;
    }
    const NotchModel &model() { return controller().model(); }
    QRect panel() { return controller().panel().geometry(); }
    RowModule &module(const QString &id) { return *static_cast<RowModule *>(registry.module(id)); }
    QStringList titles()
    {
        QStringList result;
        for (const ModuleRow &row : model().rows())
            result << row.title;
        return result;
    }
    void flash(const QString &text = u"news"_s) { controller().flash(text, Color::blue()); }
    void setPref(const QString &key, const QVariant &value) { prefs.store->setValue(key, value); }

    EventBus bus;
    TempPreferences prefs;
    ModuleRegistry registry { *prefs.store };
    ManualScheduler scheduler;
    HeadlessScreenProvider screens;
    HeadlessPointerMonitor pointer;
    HeadlessPanelWindowSupport windowSupport;
    HeadlessReduceMotion reduceMotion;
    UrlSink opened;
    LinkGate links = gitHubPages();
    std::unique_ptr<ModuleContent> m_content;
    std::unique_ptr<StatusLine> m_statusLine;
    std::unique_ptr<NewsGate> m_news;
    std::unique_ptr<NotchController> m_controller;
};

TEST_F(NotchControllerTest, BusEventsFlashOnlyWhenAskedAndAllowedAndEachFlashRestartsItsDuration)
{
    controller();
    setPref(AppPreferences::autoExpandOnEvents, false);
    bus.publish(ModuleEvent { u"ci"_s, u"ignored"_s });
    EXPECT_FALSE(model().isExpanded());

    // Nor does a kind the user switched off.
    setPref(AppPreferences::autoExpandOnEvents, true);
    module(u"first"_s).kinds = { { u"ci.failed"_s, u"Build fehlgeschlagen"_s } };
    setPref(AppPreferences::interruptKey(u"ci.failed"_s), false);
    const ModuleEvent failed { u"ci"_s, u"Build fehlgeschlagen"_s, ModuleStatus::Severity::Failing, u"ci.failed"_s };
    bus.publish(failed);
    EXPECT_FALSE(model().isExpanded());
    setPref(AppPreferences::interruptKey(u"ci.failed"_s), true);
    bus.publish(failed);
    EXPECT_EQ(model().statusColor(), Color::red());
    scheduler.advance(2);
    flash(u"second"_s);
    scheduler.advance(3.49);
    EXPECT_TRUE(model().isExpanded());
    scheduler.advance(0.01);
    EXPECT_TRUE(controller().panel().isClickThrough());
    EXPECT_EQ(model().statusText(), u"Tarnlet"_s);

    // A shorter duration after a longer one takes effect at its own time. A number written by hand
    // is held to the slider's range: zero, NaN, negative and a value of the wrong type read as its
    // shortest duration, a huge one or infinity as its longest.
    setPref(AppPreferences::flashDuration, 10.0);
    flash();
    setPref(AppPreferences::flashDuration, 1.0);
    flash();
    scheduler.advance(1);
    EXPECT_FALSE(model().isExpanded());
    EXPECT_EQ(scheduler.pendingCount(), 0) << "the longer one's end is dropped";
    const auto lasts = [&](const QVariant &value, double seconds) {
        setPref(AppPreferences::flashDuration, value);
        flash();
        scheduler.advance(seconds - 0.01);
        const bool shown = model().isExpanded();
        scheduler.advance(0.01);
        return shown && !model().isExpanded();
    };
    for (const QVariant &value : { QVariant(0.0), QVariant(std::nan("")), QVariant(-1.0), QVariant(u"soon"_s) })
        EXPECT_TRUE(lasts(value, 1)) << value.toString().toStdString();
    for (const QVariant &value : { QVariant(1e9), QVariant(std::numeric_limits<double>::infinity()) })
        EXPECT_TRUE(lasts(value, 10)) << value.toString().toStdString();

    // Every piece of news is in the session's history, newest first, whether it interrupted or not;
    // the last 50 are kept.
    QList<std::pair<QString, bool>> recorded;
    for (const NewsHistory::Entry &entry : m_news->history().entries())
        recorded.append({ entry.event.text, entry.interrupted });
    EXPECT_EQ(recorded,
        (QList<std::pair<QString, bool>> { { failed.text, true }, { failed.text, false }, { u"ignored"_s, false } }));
    for (int i = 0; i < 60; ++i)
        bus.publish(ModuleEvent { u"ci"_s, QString::number(i) });
    const QList<NewsHistory::Entry> &entries = m_news->history().entries();
    ASSERT_EQ(entries.size(), NewsHistory::kept);
    EXPECT_EQ(entries.first().event.text, u"59"_s);
    EXPECT_EQ(entries.last().event.text, u"10"_s);

    // Handlers outliving the controller do nothing.
    m_controller.reset();
    bus.publish(ModuleEvent { u"ci"_s, u"after"_s });
    pointer.clickAt(onNotch);
    screens.setScreens({ HeadlessScreenProvider::plain(screenFrame) }, std::nullopt);
    scheduler.advance(10);
}

TEST_F(NotchControllerTest, HoverOpensAfterTheDelayLeavingClosesAndClicksPinOrClose)
{
    controller();
    pointer.moveTo(onNotch);
    scheduler.advance(0.2);
    pointer.moveTo(onNotch + QPointF(3, 0));
    scheduler.advance(0.2);
    EXPECT_FALSE(model().isExpanded()) << "each movement restarts the delay";
    scheduler.advance(0.05);
    EXPECT_TRUE(model().isExpanded());
    pointer.moveTo(farAway);
    scheduler.advance(0.35);

    // A pointer that only passes by on its way to the top edge does not open it; the delay is
    // the user's.
    setPref(AppPreferences::hoverDelay, 0.5);
    scheduler.advance(1);
    pointer.moveTo(onNotch + QPointF(-60, 200));
    scheduler.advance(0.05);
    pointer.moveTo(onNotch); // 200 points in 0.05 s
    scheduler.advance(1);
    EXPECT_FALSE(model().isExpanded()) << "passing by";
    pointer.moveTo(onNotch + QPointF(2, 0));
    scheduler.advance(0.45);
    EXPECT_FALSE(model().isExpanded());
    scheduler.advance(0.05);
    EXPECT_TRUE(model().isExpanded());

    // Open: one movement outside E24 closes it 0.35 s later unless the pointer comes back first.
    pointer.moveTo(farAway);
    scheduler.advance(0.2);
    pointer.moveTo(inLeaveMarginOnly);
    scheduler.advance(2);
    EXPECT_TRUE(model().isExpanded());
    pointer.moveTo(farAway);
    scheduler.advance(0.35);
    EXPECT_FALSE(model().isExpanded());

    // A right click on the collapsed notch asks for the menu, anywhere else it does not.
    QSignalSpy menu(&controller(), &NotchController::menuRequested);
    pointer.clickAt(farAway, PointerEventType::RightMouseDown);
    pointer.clickAt(onNotch, PointerEventType::RightMouseDown);
    ASSERT_EQ(menu.size(), 1);
    EXPECT_EQ(menu.first().first().toPoint(), onNotch.toPoint());
    EXPECT_FALSE(model().isExpanded());

    // Clicks on the notch pin, outside the open area they close.
    flash();
    pointer.clickAt(belowNotchInE);
    pointer.clickAt(onNotch);
    EXPECT_FALSE(model().isExpanded());

    pointer.clickAt(onNotch);
    flash(u"pinned"_s);
    pointer.clickAt(belowNotchInE);
    pointer.moveTo(farAway);
    scheduler.advance(10);
    EXPECT_TRUE(model().isPinned()) << "pinned, neither the flash's end nor leaving closes";
    pointer.clickAt(inLeaveMarginOnly);
    EXPECT_FALSE(model().isExpanded());
    EXPECT_FALSE(model().isPinned());

    // A delay written by hand beyond the slider's range waits the longest the slider offers.
    setPref(AppPreferences::hoverDelay, 1e9);
    scheduler.advance(1);
    pointer.moveTo(onNotch);
    scheduler.advance(1);
    EXPECT_TRUE(model().isExpanded());
    pointer.moveTo(farAway);
    scheduler.advance(0.35);

    // With hover off (read at the next movement) only clicks open.
    setPref(AppPreferences::hoverOpens, false);
    pointer.moveTo(onNotch);
    scheduler.advance(2);
    EXPECT_FALSE(model().isExpanded());
}

TEST_F(NotchControllerTest, WithOnlyOurOwnWindowsSeenTheShapeTakesTheClicksAndLeavingCounts)
{
    pointer.setGlobal(false);
    controller();
    EXPECT_EQ(windowSupport.inputRegion().boundingRect(), QRect(180, 0, 220, 32)) << "clicks pass beside the shape";
    pointer.moveTo(onNotch);
    scheduler.advance(0.25);
    EXPECT_TRUE(model().isExpanded());
    pointer.leave();
    scheduler.advance(0.35);
    EXPECT_FALSE(model().isExpanded());
}

TEST_F(NotchControllerTest, RowsAndStatusLineFollowTheSwitchedOnModulesOnceATurn)
{
    controller();
    registry.registerModule(std::make_unique<RowModule>(u"second"_s, numberedRows(2, u"Second"_s)));
    module(u"second"_s).setStatus(ModuleStatus { u"2 von 3 Containern laufen"_s, ModuleStatus::Severity::Fine });
    module(u"first"_s).setRows(numberedRows(4));
    module(u"first"_s).setRows(numberedRows(2));
    EXPECT_EQ(model().rows().size(), 3) << "nothing before the turn ends";
    QCoreApplication::processEvents();
    EXPECT_EQ(titles(), (QStringList { u"Row 1"_s, u"Row 2"_s, u"Second 1"_s, u"Second 2"_s }));
    EXPECT_EQ(panel(), openOnA.adjusted(0, 0, 0, 59)) << "the panel follows the rows";
    EXPECT_EQ(model().statusText(), u"2 von 3 Containern laufen"_s);

    // The first module with a status wins, after a flash too; seven rows fit, more end in a count.
    module(u"first"_s).setStatus(ModuleStatus { u"CI · main"_s, ModuleStatus::Severity::Active });
    flash();
    registry.setEnabled(false, u"first"_s);
    module(u"second"_s).setRows(numberedRows(7, u"Second"_s));
    registry.setEnabled(true, u"first"_s);
    QCoreApplication::processEvents();
    EXPECT_EQ(model().statusText(), u"news"_s);
    scheduler.advance(3.5);
    EXPECT_EQ(model().statusText(), u"CI · main"_s);
    EXPECT_EQ(titles().mid(5), (QStringList { u"Second 4"_s, u"+3 weitere"_s }));
}

TEST_F(NotchControllerTest, OpenAgesTickAndARowClickOpensItsGitHubPageOrRunsItsSecondAction)
{
    ModuleRow aged = numberedRows(1).first();
    aged.since = QDateTime::currentDateTimeUtc().addSecs(-30);
    const ModuleRow elsewhere { u"Elsewhere"_s, {}, std::nullopt, ModuleStatus::Severity::Idle,
        QUrl(u"https://example.com/"_s) };
    const ModuleRow needsToken { u"Kein Token"_s, {}, std::nullopt, ModuleStatus::Severity::Idle,
        numberedRows(1)[0].link, u"githubAccount"_s };
    QStringList done;
    ModuleRow news = numberedRows(3).last();
    news.actions = { [&] { done << u"opened"_s; }, u"Als gelesen markieren"_s, [&] { done << u"marked"_s; } };
    module(u"first"_s).setRows({ aged, elsewhere, needsToken, news });
    QSignalSpy panes(&controller(), &NotchController::paneRequested);
    const auto rowCentre
        = [this](int index) { return controller().panel().content()->rowRect(index).center() + panel().topLeft(); };
    controller();
    EXPECT_EQ(scheduler.pendingCount(), 0) << "collapsed: nothing ticks";

    pointer.clickAt(onNotch);
    int redraws = 0;
    QObject::connect(&model(), &NotchModel::changed, [&] { ++redraws; });
    scheduler.advance(scheduler.nextDelay());
    EXPECT_EQ(redraws, 1);
    pointer.clickAt(rowCentre(0));
    pointer.clickAt(rowCentre(1));
    pointer.clickAt(rowCentre(2)); // the pane that resolves it, not the page
    EXPECT_EQ(opened.opened, (QList<QUrl> { QUrl(u"https://github.com/o/r/actions/runs/1"_s) }));
    ASSERT_EQ(panes.size(), 1);
    EXPECT_EQ(panes.first().first().toString(), u"githubAccount"_s);
    // The check mark at a row's end runs its second action, the rest of the row opens it; a
    // screen reader finds both actions on the row.
    const NotchView &view = *controller().panel().content();
    EXPECT_TRUE(view.secondaryRect(0).isEmpty());
    pointer.clickAt(view.secondaryRect(3).center() + panel().topLeft());
    pointer.clickAt(rowCentre(3));
    QAccessibleActionInterface *actions
        = QAccessible::queryAccessibleInterface(controller().panel().content())->child(4)->actionInterface();
    ASSERT_EQ(actions->actionNames().size(), 2);
    EXPECT_EQ(actions->localizedActionName(actions->actionNames().at(1)), u"Als gelesen markieren"_s);
    actions->doAction(actions->actionNames().at(1));
    EXPECT_EQ(done, (QStringList { u"marked"_s, u"opened"_s, u"marked"_s }));
    EXPECT_EQ(opened.opened.size(), 2);
    EXPECT_TRUE(model().isPinned());
    pointer.clickAt(onNotch);
    EXPECT_EQ(scheduler.pendingCount(), 0);
}

// Screen A with a 32-point panel along its top, screen B to its right, tops level.
const QRectF frameB(1440, 0, 1920, 1080);
const QRect openOnB(1440 + 960 - 290, 0, 580, 250);

class NotchPlacementTest : public NotchControllerTest {
protected:
    NotchPlacementTest()
    {
        ScreenInfo a = HeadlessScreenProvider::plain(screenFrame, u"A"_s);
        a.workArea = screenFrame.adjusted(0, 32, 0, 0);
        screens.setScreens({ a, HeadlessScreenProvider::plain(frameB, u"B"_s) }, a);
    }
};

TEST_F(NotchPlacementTest, HangsBelowTheTopPanelOnTheChosenScreenAndStepsAsideForAFullScreenWindow)
{
    controller().panel().show();
    EXPECT_EQ(panel(), openOnA.translated(0, 32));
    pointer.clickAt(onNotch); // on the panel strip, above the overlay
    EXPECT_FALSE(model().isExpanded());
    pointer.clickAt({ 720, 40 });
    EXPECT_TRUE(model().isPinned());

    // A full-screen window on the overlay's screen hides it, unpinned; the pointer does nothing
    // and flashes wait, the newest only.
    screens.setFullScreenWindow(frameB);
    EXPECT_TRUE(controller().panel().isVisible());
    screens.setFullScreenWindow(screenFrame);
    EXPECT_FALSE(controller().panel().isVisible());
    EXPECT_FALSE(model().isPinned());
    pointer.clickAt({ 720, 40 });
    flash(u"first"_s);
    flash(u"second"_s);
    EXPECT_FALSE(model().isExpanded());
    screens.setFullScreenWindow(std::nullopt);
    EXPECT_TRUE(model().isExpanded());
    EXPECT_EQ(model().statusText(), u"second"_s);

    // The panel goes: the overlay follows the work area up. The pointer's screen is taken at
    // each collapse, never while open.
    const QList<ScreenInfo> both { HeadlessScreenProvider::plain(screenFrame, u"A"_s), screens.screens()[1] };
    screens.setScreens(both, both[0]);
    EXPECT_EQ(panel(), openOnA);
    setPref(AppPreferences::screen, AppPreferences::screenWithPointer);
    pointer.moveTo({ 2000, 600 });
    EXPECT_EQ(panel(), openOnA);
    scheduler.advance(0.35);
    EXPECT_EQ(panel(), openOnB);

    // A bar the work area does not show: "notch.topOffset" keeps the overlay below it; a top
    // panel lower than the offset still wins.
    setPref(AppPreferences::topOffset, 30.0);
    EXPECT_EQ(panel(), openOnB.translated(0, 30));
    ScreenInfo lowPanel = screens.screens()[1];
    lowPanel.workArea = frameB.adjusted(0, 40, 0, 0);
    screens.setScreens({ screens.screens()[0], lowPanel }, screens.screens()[0]);
    EXPECT_EQ(panel(), openOnB.translated(0, 40));
}

} // namespace

#pragma once

#include "ManualScheduler.h"
#include "QtPrinters.h"
#include "RowModule.h"
#include "TempPreferences.h"
#include "UrlSink.h"

#include "core/EventBus.h"
#include "core/ModuleRegistry.h"
#include "core/prefs/AppPreferences.h"
#include "notch/NotchController.h"
#include "notch/NotchModel.h"
#include "notch/NotchPanel.h"
#include "notch/NotchView.h"
#include "platform/headless/HeadlessDesktop.h"

#include <QCoreApplication>
#include <QSignalSpy>

#include <gtest/gtest.h>

// Rows titled "<prefix> 1", "<prefix> 2" …, each opening its own run page.
inline QList<ModuleRow> numberedRows(int count, const QString &prefix = QStringLiteral("Row"))
{
    QList<ModuleRow> rows;
    for (int i = 1; i <= count; ++i)
        rows.append(ModuleRow { QStringLiteral("%1 %2").arg(prefix).arg(i), QStringLiteral("main"), std::nullopt,
            Color::green(), QUrl(QStringLiteral("https://github.com/o/r/actions/runs/%1").arg(i)) });
    return rows;
}

// The controller on a headless desktop, a manual clock and a preference file; created on
// first use, so a test can set the screens and preferences up first.

// A 1440 x 900 screen without a housing. The collapsed area C spans x 610..830, y 0..32; the open
// area E, with the three rows of the fixture's module, x 430..1010, y 0..250.
inline const QRectF screenFrame(0, 0, 1440, 900);
inline const QPointF onNotch(720, 10);
inline const QPointF belowNotchInE(720, 55); // on the header, above the rows
inline const QPointF inHoverMarginOnly(605, 10); // inside C grown by 8, outside C
inline const QPointF farAway(100, 800);
inline const QPointF inLeaveMarginOnly(420, 200); // inside E grown by 24, outside E

class NotchControllerTest : public ::testing::Test {
protected:
    NotchControllerTest()
    {
        const ScreenInfo screen = HeadlessScreenProvider::plain(screenFrame);
        screens.setScreens({ screen }, screen);
        AppPreferences::registerDefaults(*prefs.store);
        registry.registerModule(std::make_unique<RowModule>(QStringLiteral("first"), numberedRows(3)));
    }

    NotchController &controller()
    {
        if (!m_controller)
            m_controller = std::make_unique<NotchController>(
                bus, registry, *prefs.store, scheduler, screens, pointer, windowSupport, reduceMotion);
        return *m_controller;
    }
    RowModule &module(const QString &id) { return *static_cast<RowModule *>(registry.module(id)); }
    RowModule &addModule(const QString &id, QList<ModuleRow> rows = {})
    {
        registry.registerModule(std::make_unique<RowModule>(id, std::move(rows)));
        return module(id);
    }
    // Lets the queued rebuild (and the registry's queued starts) run.
    static void settle() { QCoreApplication::processEvents(); }
    QStringList titles() const
    {
        QStringList result;
        for (const ModuleRow &row : m_controller->model().rows())
            result << row.title;
        return result;
    }
    // The centre of a row of the open overlay, in global coordinates.
    QPointF rowCentre(int index)
    {
        return controller().panel().content()->rowRect(index).center() + controller().panel().geometry().topLeft();
    }
    const NotchModel &model() { return controller().model(); }
    void publish(const QString &text, bool shouldExpand = true)
    {
        bus.publish(ModuleEvent { QStringLiteral("github.pullRequests"), text, shouldExpand });
    }
    void rest(QPointF point) { pointer.moveTo(point); }

    EventBus bus;
    TempPreferences prefs;
    ModuleRegistry registry { *prefs.store };
    ManualScheduler scheduler;
    HeadlessScreenProvider screens;
    HeadlessPointerMonitor pointer;
    HeadlessPanelWindowSupport windowSupport;
    HeadlessReduceMotion reduceMotion;
    UrlSink opened;
    std::unique_ptr<NotchController> m_controller;
};

#pragma once

#include "platform/ScreenProvider.h"
#include "platform/x11/X11ActiveWindowWatcher.h"

#include <QTimer>

class QScreen;

// Screens from QGuiApplication, with the work area the window manager leaves free of panels.
// Linux displays report no camera housing: top inset 0 and no side areas. Qt's global
// coordinates (top-left origin, y down) are turned into points here only.
class X11ScreenProvider final : public ScreenProvider {
    Q_OBJECT
public:
    explicit X11ScreenProvider(QObject *parent = nullptr);

    QList<ScreenInfo> screens() const override;
    std::optional<ScreenInfo> mainScreen() const override;
    QRect desktopRect(const QRectF &frame) const override;
    QPointF pointFromDesktop(const QPointF &position) const override;
    std::optional<QRectF> activeFullScreenWindow() const override;

private:
    ScreenInfo info(const QScreen &screen) const;
    // Between points and Qt's coordinates, both ways: the flip is its own inverse.
    QRectF flipped(const QRectF &rect) const;
    // The y of the primary screen's bottom edge in Qt's coordinates: the points' y origin.
    double originY() const;
    void watch(QScreen *screen);

    // Qt reports one configuration change as several signals; they are folded into one notice.
    QTimer m_coalesce;
    X11ActiveWindowWatcher m_activeWindow;
};

#pragma once

#include <QList>
#include <QObject>
#include <QPointF>
#include <QRect>
#include <QRectF>
#include <QString>

#include <optional>

// One attached screen as the overlay sees it. Coordinates are points in global screen space with
// the origin at the bottom-left corner of the primary screen and y growing upwards.
struct ScreenInfo {
    QString name;
    QRectF frame;
    // Height of the band a camera housing hides at the top; 0 on screens without one.
    double topInset = 0;
    // The unobscured parts of the top band left and right of the housing, when the screen has them.
    std::optional<QRectF> auxiliaryTopLeftArea;
    std::optional<QRectF> auxiliaryTopRightArea;
    // What panels and docks leave free; empty when the desktop does not say (then the whole frame).
    QRectF workArea;

    QRectF usableArea() const { return workArea.isEmpty() ? frame : workArea; }

    friend bool operator==(const ScreenInfo &, const ScreenInfo &) = default;
};

// The desktop's screens. Backends convert from the window system's own coordinates here and
// nowhere else: frames and pointer positions leave in points (bottom-left origin, y up), window
// rectangles go back through desktopRect().
class ScreenProvider : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    // Attached screens in the system's order.
    virtual QList<ScreenInfo> screens() const = 0;
    // The screen holding the focused window, else the primary one; none without screens.
    virtual std::optional<ScreenInfo> mainScreen() const = 0;
    // A rectangle in points as the window system's global rectangle (top-left origin, y down).
    virtual QRect desktopRect(const QRectF &frame) const = 0;
    // A position in the window system's global coordinates as points.
    virtual QPointF pointFromDesktop(const QPointF &position) const = 0;
    // The frame of the active window while it is full-screen, else none.
    virtual std::optional<QRectF> activeFullScreenWindow() const = 0;

Q_SIGNALS:
    // Once per configuration change: screens added, removed, resized or moved, or a work area
    // changed because a panel came, went or changed size.
    void screensChanged();
    // The active window changed, or entered or left the full-screen state.
    void activeFullScreenWindowChanged();
};

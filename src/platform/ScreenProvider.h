#pragma once

#include <QList>
#include <QObject>
#include <QRectF>
#include <QString>

#include <optional>

// One attached screen as the overlay sees it. Coordinates are Qt's global ones: device-independent
// pixels with the origin at the top-left corner of the primary screen and y growing downwards.
struct ScreenInfo {
    QString name;
    QRectF frame;
    // The camera-housing fields (topInset and the two side areas) stay for the macOS backend;
    // the other backends report no housing.
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

// The desktop's screens. A backend whose window system counts otherwise converts to Qt's global
// coordinates (top-left origin, y down) here, before anything leaves it.
class ScreenProvider : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    // Attached screens in the system's order.
    virtual QList<ScreenInfo> screens() const = 0;
    // The screen holding the focused window, else the primary one; none without screens.
    virtual std::optional<ScreenInfo> mainScreen() const = 0;
    // The frame of the active window while it is full-screen, else none.
    virtual std::optional<QRectF> activeFullScreenWindow() const = 0;

Q_SIGNALS:
    // Once per configuration change: screens added, removed, resized or moved, or a work area
    // changed because a panel came, went or changed size.
    void screensChanged();
    // The active window changed, or entered or left the full-screen state.
    void activeFullScreenWindowChanged();
};

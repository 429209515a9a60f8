#pragma once

#include "notch/NotchGeometry.h"

#include <QObject>
#include <QRectF>

class PointerMonitor;
class PreferenceStore;
class ScreenProvider;

// Where the overlay hangs: from the top of what panels leave free on the screen "notch.screen"
// chooses, and at least "notch.topOffset" below its top edge; chosen again when the screens or the
// preferences change (and, for the screen with the pointer, whenever the controller asks). While
// the active window on that screen is full-screen, the overlay is hidden
// ("notch.hideBesideFullScreen").
class NotchPlacement final : public QObject {
    Q_OBJECT
public:
    // The references must outlive the placement. Without any screen the overlay waits at the
    // origin for the first configuration change.
    NotchPlacement(ScreenProvider &screens, const PointerMonitor &pointer, PreferenceStore &preferences,
        QObject *parent = nullptr);

    const NotchGeometry &geometry() const { return m_geometry; }
    bool isHiddenBesideFullScreen() const { return m_hidden; }

    // The overlay's area of `size` (open or collapsed), centred below the point it hangs from.
    static QRectF area(QPointF topCentre, QSizeF size);
    QRectF collapsedArea() const { return area(m_geometry.topCentre(), m_geometry.collapsedSize); }
    QRectF expandedArea(qsizetype rowCount) const
    {
        return area(m_geometry.topCentre(), NotchGeometry::expandedSize(rowCount));
    }

    // Takes the chosen screen again (the pointer may be on another one now) and looks at its
    // full-screen window.
    void chooseScreen();
    // The overlay has just collapsed: where the user chose the screen with the pointer, it moves
    // there now (never while it is open, and not while it is hidden).
    void followCollapse();

Q_SIGNALS:
    // After the geometry changed.
    void moved();
    // After the overlay was hidden beside a full-screen window, or shown again.
    void hiddenChanged(bool hidden);

private:
    void followFullScreen();
    void place(const ScreenInfo &screen);

    ScreenProvider &m_screens;
    const PointerMonitor &m_pointer;
    PreferenceStore &m_preferences;
    NotchGeometry m_geometry;
    bool m_hidden = false;
};

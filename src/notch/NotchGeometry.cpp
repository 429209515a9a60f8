#include "notch/NotchGeometry.h"

#include "core/prefs/AppPreferences.h"

#include <algorithm>

std::optional<ScreenInfo> NotchGeometry::preferredScreen(const ScreenProvider &screens)
{
    const QList<ScreenInfo> all = screens.screens();
    for (const ScreenInfo &screen : all) {
        if (screen.topInset > 0)
            return screen;
    }
    return screens.mainScreen();
}

std::optional<ScreenInfo> NotchGeometry::chosenScreen(
    const ScreenProvider &screens, const QString &choice, QPointF pointer)
{
    if (choice != AppPreferences::screenPrimary) {
        const QList<ScreenInfo> all = screens.screens();
        const bool byPointer = choice == AppPreferences::screenWithPointer;
        for (const ScreenInfo &screen : all) {
            if (byPointer ? contains(screen.frame, pointer) : screen.name == choice)
                return screen;
        }
    }
    return preferredScreen(screens);
}

bool NotchGeometry::contains(const QRectF &rect, QPointF point)
{
    return point.x() >= rect.left() && point.x() < rect.left() + rect.width() && point.y() >= rect.top()
        && point.y() < rect.top() + rect.height();
}

QPointF NotchGeometry::topCentre() const
{
    return QPointF(screen.frame.center().x(), std::max(screen.usableArea().top(), screen.frame.top() + topOffset));
}

NotchGeometry NotchGeometry::forScreen(const ScreenInfo &screen)
{
    NotchGeometry geometry;
    geometry.screen = screen;
    geometry.hasNotch = screen.topInset > 0;
    if (geometry.hasNotch && screen.auxiliaryTopLeftArea && screen.auxiliaryTopRightArea) {
        const double notchWidth
            = screen.frame.width() - screen.auxiliaryTopLeftArea->width() - screen.auxiliaryTopRightArea->width();
        geometry.collapsedSize = QSizeF(notchWidth + notchExtension, screen.topInset);
        geometry.topInset = screen.topInset;
    }
    return geometry;
}

QSizeF NotchGeometry::expandedSize(qsizetype rowCount)
{
    const qsizetype rows = std::clamp<qsizetype>(rowCount, 0, maximumRows);
    return QSizeF(expandedWidth, expandedHeightForThreeRows + double(rows - 3) * rowPitch);
}

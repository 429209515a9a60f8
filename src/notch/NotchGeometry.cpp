#include "notch/NotchGeometry.h"

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

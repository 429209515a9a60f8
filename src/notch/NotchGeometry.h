#pragma once

#include "platform/ScreenProvider.h"

#include <QSizeF>

#include <optional>

// Where the overlay lives and how large it is collapsed: hugging the camera housing on a
// notched screen, a fixed small size at the top centre elsewhere.
struct NotchGeometry {
    ScreenInfo screen;
    bool hasNotch = false;
    // Height of the notch band; equals collapsedSize's height.
    double topInset = fallbackSize.height();
    QSizeF collapsedSize = fallbackSize;
    // The least distance from the screen's top edge, for a bar the work area does not show.
    double topOffset = 0;

    // Reaches this far beyond the housing, half on each side.
    static constexpr double notchExtension = 140;
    static constexpr QSizeF fallbackSize { 220, 32 };

    // The open overlay: a fixed width, and a height that grows by one row pitch per row, from the
    // header alone up to maximumRows rows (250 for three).
    static constexpr double expandedWidth = 580;
    static constexpr double expandedHeightForThreeRows = 250;
    static constexpr double rowHeight = 51; // a title over a detail line, 10 points above and below
    static constexpr double rowPitch = rowHeight + 8;
    static constexpr int maximumRows = 7;
    static QSizeF expandedSize(qsizetype rowCount);

    // The first screen with a camera housing, else the main screen.
    static std::optional<ScreenInfo> preferredScreen(const ScreenProvider &screens);
    // The screen for a choice of "notch.screen": the preferred one, the one holding `pointer`,
    // or the one of that name. A named screen that is absent, or a pointer off every screen,
    // gives the preferred one.
    static std::optional<ScreenInfo> chosenScreen(
        const ScreenProvider &screens, const QString &choice, QPointF pointer);
    static NotchGeometry forScreen(const ScreenInfo &screen);

    // Containment as the overlay tests it: minimum edges belong to a rectangle, maximum edges do
    // not (QRectF::contains takes both).
    static bool contains(const QRectF &rect, QPointF point);

    // Where the overlay hangs from: the top of what panels leave free (at least topOffset below the
    // screen's edge), centred on the screen.
    QPointF topCentre() const;
};

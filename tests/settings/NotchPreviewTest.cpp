// The preview is the collapsed overlay as the overlay itself draws it.
#include "notch/NotchModel.h"
#include "notch/NotchView.h"
#include "platform/headless/HeadlessDesktop.h"
#include "settings/NotchPreview.h"

#include <QImage>

#include <gtest/gtest.h>

namespace {

QImage render(QWidget &widget)
{
    QImage image(widget.size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    widget.render(&image);
    return image;
}

TEST(NotchPreviewTest, DrawsTheOverlaysCollapsedShape)
{
    NotchPreview preview;
    preview.resize(560, 150);
    NotchModel model;
    HeadlessReduceMotion reduceMotion;
    NotchView overlay(model, QSizeF(260, 38), reduceMotion);
    overlay.resize(preview.size());
    const QImage drawn = render(preview);
    const QImage expected = render(overlay);
    ASSERT_EQ(expected.pixel(150, 0), qRgba(0, 0, 0, 255)) << "the shape's top-left corner";

    // How much of each pixel the black shape covers, left of the status line, around the corner:
    // the overlay draws it on nothing, the preview on its grey background, sampled beside it.
    int differing = 0;
    for (int y = 0; y < 45; ++y) {
        const double background = qGray(drawn.pixel(100, y));
        for (int x = 100; x < 190; ++x) {
            const double covered = qAlpha(expected.pixel(x, y)) / 255.0;
            differing += std::abs(1 - qGray(drawn.pixel(x, y)) / background - covered) > 0.05 ? 1 : 0;
        }
    }
    EXPECT_EQ(differing, 0);
}

} // namespace

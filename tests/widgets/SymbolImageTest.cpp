#include "widgets/SymbolImage.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

namespace {

const QRect area(8, 12, 48, 40);

// The symbol drawn into `area` of a transparent 64 x 64 image.
QImage render(const QString &name, const QColor &color = Qt::black)
{
    QImage image(64, 64, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    SymbolImage::paint(painter, area, name, color);
    return image;
}

int paintedPixels(const QImage &image, const QRect &within)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (within.contains(x, y) && qAlpha(image.pixel(x, y)) > 0)
                ++count;
    return count;
}

TEST(SymbolImage, EveryNamePaintsOnlyInsideTheRectInTheGivenColour)
{
    const QStringList expected { QStringLiteral("rectangle.topthird.inset.filled"), QStringLiteral("gearshape"),
        QStringLiteral("gearshape.2"), QStringLiteral("bell"), QStringLiteral("arrow.triangle.pull"),
        QStringLiteral("shippingbox"), QStringLiteral("arrow.down.circle"), QStringLiteral("magnifyingglass"),
        QStringLiteral("person.badge.key") };
    EXPECT_EQ(SymbolImage::names().size(), expected.size());
    const QColor colour(0x20, 0x80, 0xC0);
    QList<QImage> images;
    for (const QString &name : expected) {
        SCOPED_TRACE(name.toStdString());
        ASSERT_TRUE(SymbolImage::contains(name));
        const QImage image = render(name, colour);
        const int inside = paintedPixels(image, area);
        EXPECT_GT(inside, area.width() * area.height() / 20);
        EXPECT_EQ(paintedPixels(image, image.rect()), inside);
        // Monochrome: every fully opaque pixel is exactly the colour asked for.
        int opaque = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (qAlpha(image.pixel(x, y)) == 255) {
                    ++opaque;
                    EXPECT_EQ(image.pixel(x, y), colour.rgba());
                }
        EXPECT_GT(opaque, 0);
        for (const QImage &other : images)
            EXPECT_NE(image, other) << "two names draw the same picture";
        images << image;
    }
}

TEST(SymbolImage, UnknownNamesDrawNothingAndGiveNullIcons)
{
    for (const QString &name : { QString(), QStringLiteral("gear"), QStringLiteral("Bell"), QStringLiteral("bell ") }) {
        EXPECT_FALSE(SymbolImage::contains(name));
        EXPECT_EQ(paintedPixels(render(name), QRect(0, 0, 64, 64)), 0);
        EXPECT_TRUE(SymbolImage::icon(name, Qt::white).isNull());
    }
}

TEST(SymbolImage, KeepsThePainterStateAndIconsScale)
{
    QImage image(32, 32, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setPen(QPen(Qt::red, 3));
    SymbolImage::paint(painter, QRectF(0, 0, 32, 32), QStringLiteral("bell"), Qt::black);
    EXPECT_TRUE(painter.transform().isIdentity());
    EXPECT_EQ(painter.pen().color(), QColor(Qt::red));
    painter.end();

    const QIcon icon = SymbolImage::icon(QStringLiteral("gearshape"), Qt::white);
    ASSERT_FALSE(icon.isNull());
    for (int side : { 16, 22, 64 }) {
        const QImage pixmap = icon.pixmap(side, side).toImage();
        EXPECT_EQ(pixmap.width(), side);
        EXPECT_GT(paintedPixels(pixmap, pixmap.rect()), side);
    }
    EXPECT_FALSE(icon.availableSizes().isEmpty());
}

} // namespace

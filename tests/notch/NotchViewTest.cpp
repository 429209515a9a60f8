#include "QtPrinters.h"

#include "notch/NotchModel.h"
#include "notch/NotchPainter.h"
#include "notch/NotchView.h"
#include "platform/headless/HeadlessDesktop.h"

#include <QImage>

#include <cmath>
#include <numbers>

#include <gtest/gtest.h>

namespace {

using namespace Qt::StringLiterals;

const QSizeF collapsed(220, 32);
const QSizeF expanded(580, 250);

bool isLight(QRgb pixel)
{
    return qAlpha(pixel) == 255 && qGray(pixel) > 60;
}

auto near(Color color)
{
    return [wanted = color.toQColor()](QRgb p) {
        return qAlpha(p) == 255 && std::abs(qRed(p) - wanted.red()) < 24 && std::abs(qGreen(p) - wanted.green()) < 24
            && std::abs(qBlue(p) - wanted.blue()) < 24;
    };
}

template<typename Predicate> int countPixels(const QImage &image, const QRect &area, Predicate predicate)
{
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            count += predicate(image.pixel(x, y)) ? 1 : 0;
    return count;
}

// Bounding box of the fully opaque pixels.
QRect opaqueBox(const QImage &image)
{
    QRect box;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qAlpha(image.pixel(x, y)) == 255)
                box |= QRect(x, y, 1, 1);
    return box;
}

// Along the bottom-left corner's diagonal, just inside the arc is black, just outside is clear.
void expectBottomLeftRadius(const QImage &image, double radius)
{
    const QRect box = opaqueBox(image);
    const QPointF centre(box.left() + radius, box.bottom() + 1 - radius);
    for (const double distance : { radius - 2, radius + 2 }) {
        const QPointF p = centre + QPointF(-distance, distance) / std::numbers::sqrt2;
        EXPECT_EQ(qAlpha(image.pixel(int(p.x()), int(p.y()))), distance < radius ? 255 : 0) << radius;
    }
}

class NotchViewTest : public ::testing::Test {
protected:
    NotchViewTest()
    {
        view.resize(expanded.toSize());
        model.setStatusText(u"CI · main"_s);
        model.setStatusColor(Color::orange());
        model.setRows({ ModuleRow { u"Deploy · web"_s, u"staging"_s, std::nullopt, Color::orange(), {} },
            ModuleRow { u"Tests · web"_s, u"main"_s, std::nullopt, Color::green(), {} },
            ModuleRow { u"+2 weitere"_s, {}, std::nullopt, Color::red(), {} } });
    }

    QImage render(qreal ratio = 1)
    {
        QImage image((expanded * ratio).toSize(), QImage::Format_ARGB32_Premultiplied);
        image.setDevicePixelRatio(ratio);
        image.fill(Qt::transparent);
        view.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
        return image;
    }

    NotchModel model;
    HeadlessReduceMotion reduceMotion;
    NotchView view { model, collapsed, reduceMotion };
};

TEST_F(NotchViewTest, CollapsedDrawsTheElidedStatusLineInASmallBlackShapeAlsoAtTwiceTheDensity)
{
    model.setStatusText(u"Review angefragt: a very long pull request title that cannot fit at all"_s);
    const QImage image = render();
    EXPECT_EQ(opaqueBox(image), QRect(180, 0, 220, 32));
    expectBottomLeftRadius(image, NotchPainter::collapsedRadius);
    EXPECT_EQ(image.pixel(184, 4), qRgba(0, 0, 0, 255));
    EXPECT_GT(countPixels(image, QRect(180, 0, 220, 32), near(Color::orange())), 20);
    const int text = countPixels(image, QRect(180, 0, 220, 32), isLight);
    EXPECT_GT(text, 40);
    EXPECT_EQ(countPixels(image, QRect(196, 0, 188, 32), isLight), text) << "inside the inner space, one line";
    EXPECT_EQ(opaqueBox(render(2)), QRect(360, 0, 440, 64));
}

TEST_F(NotchViewTest, ExpandedDrawsHeaderAndRowsBelowTheNotchBandWithoutTheStatusLine)
{
    model.setStatusColor(Color::blue());
    reduceMotion.setOn(true);
    model.setExpanded(true);
    const QImage image = render();
    EXPECT_EQ(opaqueBox(image), QRect(0, 0, 580, 250));
    expectBottomLeftRadius(image, NotchPainter::expandedRadius);
    EXPECT_EQ(countPixels(image, image.rect(), near(Color::blue())), 0);

    // Nothing is drawn above the header or left of the inner space; the header starts right there.
    const QRect header = view.headerRect().toAlignedRect();
    EXPECT_EQ(header.top(), 42);
    EXPECT_EQ(countPixels(image, QRect(0, 0, 580, header.top()), isLight), 0);
    EXPECT_EQ(countPixels(image, QRect(0, 0, 18, 250), isLight), 0);
    EXPECT_GT(countPixels(image, QRect(18, header.top(), 2, header.height()), isLight), 0);

    const Color dots[] = { Color::orange(), Color::green(), Color::red() };
    for (int i = 0; i < 3; ++i) {
        const QRect row = view.rowRect(i).toAlignedRect();
        EXPECT_GE(row.top(), header.bottom());
        EXPECT_LE(row.bottom(), 250);
        EXPECT_GT(countPixels(image, row, near(dots[i])), 20) << i;
        EXPECT_GT(qGray(image.pixel(row.right() - 20, row.center().y())), 10) << "each row on a lighter ground";
    }
}

TEST_F(NotchViewTest, SpringsBetweenStatesUnlessMotionIsReduced)
{
    int shapeChanges = 0;
    QObject::connect(&view, &NotchView::shapeChanged, [&] { ++shapeChanges; });
    model.setExpanded(true);
    EXPECT_EQ(view.progress(), 0);
    double widest = 0;
    bool intermediate = false;
    for (int ms = 16; ms <= 2000 && view.animation().state() == QAbstractAnimation::Running; ms += 16) {
        view.animation().setCurrentTime(ms);
        const double width = view.shape().boundingRect().width();
        widest = std::max(widest, width);
        intermediate = intermediate || (width > collapsed.width() + 1 && width < expanded.width() - 1);
    }
    EXPECT_TRUE(intermediate);
    EXPECT_GT(widest, expanded.width()) << "a little overshoot";
    EXPECT_LT(widest, expanded.width() + 20);
    EXPECT_EQ(view.progress(), 1);
    EXPECT_EQ(view.animation().state(), QAbstractAnimation::Stopped);
    EXPECT_GT(shapeChanges, 10);

    // Reduced motion: the new state is drawn at once, without frames in between.
    reduceMotion.setOn(true);
    shapeChanges = 0;
    model.setExpanded(false);
    EXPECT_EQ(view.animation().state(), QAbstractAnimation::Stopped);
    EXPECT_EQ(shapeChanges, 1);
    EXPECT_EQ(opaqueBox(render()), QRect(180, 0, 220, 32));
}

} // namespace

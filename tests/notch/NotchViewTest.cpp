#include "NotchFakes.h"
#include "QtPrinters.h"

#include "notch/NotchModel.h"
#include "notch/NotchView.h"
#include "platform/headless/HeadlessDesktop.h"

#include <QAccessible>
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

bool isNear(QRgb pixel, const QColor &color)
{
    return qAlpha(pixel) == 255 && std::abs(qRed(pixel) - color.red()) < 24
        && std::abs(qGreen(pixel) - color.green()) < 24 && std::abs(qBlue(pixel) - color.blue()) < 24;
}

class NotchViewTest : public ::testing::Test {
protected:
    NotchViewTest()
        : view(model, collapsed, reduceMotion)
    {
        view.resize(expanded.toSize());
        model.setStatusText(u"CI · main"_s);
        model.setStatusColor(Color::orange());
        // Three rows fill today's open size; the last one opens no page.
        model.setAgesAt(QDateTime(QDate(2026, 3, 1), QTime(12, 0), Qt::UTC));
        model.setRows({ ModuleRow { u"Deploy · web"_s, u"staging"_s, model.agesAt().addSecs(-42), Color::orange(),
                            QUrl(u"https://github.com/o/web/actions/runs/7"_s) },
            ModuleRow { u"Tests · web"_s, u"main"_s, std::nullopt, Color::green(),
                QUrl(u"https://github.com/o/web/actions/runs/8"_s) },
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

    // Bounding box of the fully opaque pixels.
    static QRect opaqueBox(const QImage &image)
    {
        QRect box;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (qAlpha(image.pixel(x, y)) == 255)
                    box |= QRect(x, y, 1, 1);
        return box;
    }

    // Whether the bottom-left corner is rounded with `radius`: along the diagonal, just inside
    // the arc is black, just outside is clear.
    static void expectBottomLeftRadius(const QImage &image, const QRect &box, double radius)
    {
        const QPointF centre(box.left() + radius, box.bottom() + 1 - radius);
        const auto sample = [&](double distance) {
            const QPointF p = centre + QPointF(-distance, distance) / std::numbers::sqrt2;
            return image.pixel(int(p.x()), int(p.y()));
        };
        EXPECT_EQ(qAlpha(sample(radius - 2)), 255) << radius;
        EXPECT_EQ(qAlpha(sample(radius + 2)), 0) << radius;
    }

    template<typename Predicate> static int countPixels(const QImage &image, const QRect &area, Predicate predicate)
    {
        int count = 0;
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x)
                count += predicate(image.pixel(x, y)) ? 1 : 0;
        return count;
    }

    void expandAtOnce()
    {
        reduceMotion.setOn(true);
        model.setExpanded(true);
    }

    NotchModel model;
    HeadlessReduceMotion reduceMotion;
    NotchView view;
};

TEST_F(NotchViewTest, CollapsedDrawsTheStatusLineInASmallBlackShape)
{
    const QImage image = render();
    const QRect box = opaqueBox(image);
    EXPECT_EQ(box, QRect(180, 0, 220, 32));
    expectBottomLeftRadius(image, box, NotchPainter::collapsedRadius);
    EXPECT_EQ(image.pixel(box.left() + 4, 4), qRgba(0, 0, 0, 255));
    EXPECT_GT(countPixels(image, box, [](QRgb p) { return isNear(p, Color::orange().toQColor()); }), 20);
    EXPECT_GT(countPixels(image, box, isLight), 40) << "white text";
    EXPECT_EQ(qAlpha(image.pixel(10, 10)), 0) << "clear outside the shape";
}

TEST_F(NotchViewTest, ExpandedDrawsHeaderAndRowsBelowTheNotchBand)
{
    expandAtOnce();
    const QImage image = render();
    const QRect box = opaqueBox(image);
    EXPECT_EQ(box, QRect(0, 0, 580, 250));
    expectBottomLeftRadius(image, box, NotchPainter::expandedRadius);

    const QRectF header = view.headerRect();
    EXPECT_EQ(header.left(), 18);
    EXPECT_EQ(header.top(), collapsed.height() + 10);
    // Nothing is drawn above the content's top edge or left of its inner space.
    EXPECT_EQ(countPixels(image, QRect(0, 0, 580, int(header.top())), isLight), 0);
    EXPECT_EQ(countPixels(image, QRect(0, 0, 18, 250), isLight), 0);
    const QRect headerBand = header.toAlignedRect();
    EXPECT_GT(countPixels(image, headerBand, isLight), 20);
    EXPECT_GT(countPixels(image, QRect(18, headerBand.top(), 2, headerBand.height()), isLight), 0)
        << "the header starts right at the inner edge";

    const QColor dots[] = { Color::orange().toQColor(), Color::green().toQColor(), Color::red().toQColor() };
    for (int i = 0; i < 3; ++i) {
        const QRect row = view.rowRect(i).toAlignedRect();
        EXPECT_GE(row.top(), headerBand.bottom());
        EXPECT_LE(row.bottom(), 250);
        EXPECT_GT(countPixels(image, row, [&](QRgb p) { return isNear(p, dots[i]); }), 20) << i;
        const QRgb background = image.pixel(row.right() - 20, row.center().y());
        EXPECT_GT(qGray(background), 10) << "row background: white at 6 % over black";
        EXPECT_LT(qGray(background), 25);
    }
}

TEST_F(NotchViewTest, StatusLineIsElidedAndHiddenWhileExpanded)
{
    model.setStatusText(QStringLiteral("Review angefragt: a very long pull request title that cannot fit at all"));
    QImage image = render();
    const QRect inner(180 + 16, 0, 220 - 32, 32);
    const int total = countPixels(image, QRect(180, 0, 220, 32), isLight);
    EXPECT_GT(total, 40);
    EXPECT_EQ(countPixels(image, inner, isLight), total) << "the text stays inside the inner space, one line";

    model.setStatusColor(Color::blue());
    expandAtOnce();
    image = render();
    EXPECT_EQ(countPixels(image, image.rect(), [](QRgb p) { return isNear(p, Color::blue().toQColor()); }), 0);
}

TEST_F(NotchViewTest, CrispAtTwiceTheDensity)
{
    const QImage image = render(2);
    EXPECT_EQ(opaqueBox(image), QRect(360, 0, 440, 64));
}

TEST_F(NotchViewTest, SpringsBetweenStatesUnlessMotionIsReduced)
{
    int shapeChanges = 0;
    QObject::connect(&view, &NotchView::shapeChanged, [&] { ++shapeChanges; });
    model.setExpanded(true);
    EXPECT_EQ(view.progress(), 0);
    EXPECT_EQ(view.animation().state(), QAbstractAnimation::Running);

    const double limit = expanded.width() + (expanded.width() - collapsed.width()) * 0.032;
    double widest = 0;
    bool intermediate = false;
    for (int ms = 16; ms <= 2000 && view.animation().state() == QAbstractAnimation::Running; ms += 16) {
        view.animation().setCurrentTime(ms);
        const double width = view.shape().boundingRect().width();
        widest = std::max(widest, width);
        intermediate = intermediate || (width > collapsed.width() + 1 && width < expanded.width() - 1);
    }
    EXPECT_TRUE(intermediate);
    EXPECT_GT(widest, expanded.width());
    EXPECT_LE(widest, limit);
    EXPECT_EQ(view.progress(), 1);
    EXPECT_EQ(view.animation().state(), QAbstractAnimation::Stopped);
    EXPECT_GT(shapeChanges, 10);

    // Reduced motion: the new state is drawn at once, without frames in between.
    reduceMotion.setOn(true);
    shapeChanges = 0;
    model.setExpanded(false);
    EXPECT_EQ(view.progress(), 0);
    EXPECT_EQ(view.animation().state(), QAbstractAnimation::Stopped);
    EXPECT_EQ(shapeChanges, 1);
    EXPECT_EQ(opaqueBox(render()), QRect(180, 0, 220, 32));
}

TEST_F(NotchViewTest, AccessibleAsOneStatusElementOrHeaderWithRows)
{
    QAccessibleInterface *overlay = QAccessible::queryAccessibleInterface(&view);
    ASSERT_NE(overlay, nullptr);
    EXPECT_EQ(overlay->text(QAccessible::Name), u"CI · main"_s);
    EXPECT_EQ(overlay->childCount(), 0);

    model.setStatusText(QStringLiteral("Review angefragt: Fix"));
    EXPECT_EQ(overlay->text(QAccessible::Name), QStringLiteral("Review angefragt: Fix"));

    expandAtOnce();
    ASSERT_EQ(overlay->childCount(), 4);
    EXPECT_EQ(overlay->child(0)->text(QAccessible::Name), QStringLiteral("Tarnlet"));
    EXPECT_EQ(overlay->child(1)->text(QAccessible::Name), u"Deploy · web, staging · vor 42 s"_s);
    EXPECT_EQ(overlay->child(2)->text(QAccessible::Name), u"Tests · web, main"_s);
    EXPECT_EQ(overlay->child(3)->text(QAccessible::Name), u"+2 weitere"_s);
    EXPECT_EQ(overlay->indexOfChild(overlay->child(2)), 2);
    EXPECT_EQ(overlay->child(2)->parent(), overlay);
    EXPECT_EQ(overlay->child(4), nullptr);

    // "Öffnen" opens a row's page as a click does; rows without one, and the header, offer nothing.
    UrlSink opened;
    QAccessibleActionInterface *open = overlay->child(2)->actionInterface();
    ASSERT_NE(open, nullptr);
    ASSERT_EQ(open->actionNames(), QStringList { u"Öffnen"_s });
    open->doAction(u"Öffnen"_s);
    EXPECT_EQ(opened.opened, QList<QUrl> { QUrl(u"https://github.com/o/web/actions/runs/8"_s) });
    EXPECT_TRUE(overlay->child(3)->actionInterface()->actionNames().isEmpty());
    EXPECT_TRUE(overlay->child(0)->actionInterface()->actionNames().isEmpty());
}

} // namespace

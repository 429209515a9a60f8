#include "GitHubPages.h"
#include "QtPrinters.h"
#include "UrlSink.h"

#include "notch/NotchModel.h"
#include "notch/NotchView.h"
#include "platform/headless/HeadlessDesktop.h"

#include <QAccessible>
#include <QImage>
#include <QSignalSpy>

#include <algorithm>

#include <gtest/gtest.h>

namespace {

using namespace Qt::StringLiterals;

const QSizeF collapsed(220, 32);
const QSizeF expanded(580, 250);
const QRect collapsedBox(180, 0, 220, 32);

// Counts the opaque pixels of `area` in `colour`, or the light ones (text) when none is given.
int countPixels(const QImage &image, const QRect &area, std::optional<Color> colour = std::nullopt)
{
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            const QRgb p = image.pixel(x, y);
            count += qAlpha(p) == 255 && (colour ? p == colour->toQColor().rgba() : qGray(p) > 60) ? 1 : 0;
        }
    }
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

class NotchViewTest : public ::testing::Test {
protected:
    NotchViewTest()
    {
        view.resize(expanded.toSize());
        model.setStatusText(u"Review angefragt: a very long pull request title that cannot fit at all"_s);
        model.setStatusColor(Color::orange());
        model.setRows(
            { ModuleRow { u"Deploy · web"_s, u"staging"_s, std::nullopt, ModuleStatus::Severity::Notice, page },
                ModuleRow { u"Tests · web"_s, u"main"_s, std::nullopt, ModuleStatus::Severity::Fine, {}, u"docker"_s },
                ModuleRow { u"+2 weitere"_s, {}, std::nullopt, ModuleStatus::Severity::Failing, {} } });
    }

    QImage render(qreal ratio = 1)
    {
        QImage image((expanded * ratio).toSize(), QImage::Format_ARGB32_Premultiplied);
        image.setDevicePixelRatio(ratio);
        image.fill(Qt::transparent);
        view.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
        return image;
    }

    const QUrl page { u"https://github.com/teskarvo/web/actions/runs/1"_s };
    NotchModel model;
    HeadlessReduceMotion reduceMotion;
    LinkGate links = gitHubPages();
    NotchView view { model, links, collapsed, reduceMotion };
};

TEST_F(NotchViewTest, DrawsTheElidedStatusLineCollapsedSpringsOpenAndDrawsTheRowsBelowTheNotchBand)
{
    QImage image = render();
    EXPECT_EQ(opaqueBox(image), collapsedBox);
    EXPECT_EQ(image.pixel(184, 4), qRgba(0, 0, 0, 255));
    EXPECT_GT(countPixels(image, collapsedBox, Color::orange()), 20);
    EXPECT_GT(countPixels(image, QRect(196, 0, 188, 32)), 40) << "the text";
    EXPECT_EQ(opaqueBox(render(2)), QRect(360, 0, 440, 64));

    int shapeChanges = 0;
    QObject::connect(&view, &NotchView::shapeChanged, [&] { ++shapeChanges; });
    model.setExpanded(true);
    double widest = 0;
    for (int ms = 16; ms <= 2000 && view.animation().state() == QAbstractAnimation::Running; ms += 16) {
        view.animation().setCurrentTime(ms);
        widest = std::max(widest, view.shape().boundingRect().width());
    }
    EXPECT_TRUE(widest > expanded.width() && widest < expanded.width() + 20) << "a little overshoot";
    EXPECT_GT(shapeChanges, 10);

    image = render();
    EXPECT_EQ(opaqueBox(image), QRect(QPoint(), expanded.toSize()));
    EXPECT_EQ(countPixels(image, image.rect(), Color::orange()), 0) << "no status line";
    EXPECT_EQ(countPixels(image, QRect(0, 0, 580, view.headerRect().top())), 0) << "the notch band stays empty";
    const Color dots[] = { Color::blue(), Color::green(), Color::red() };
    for (int i = 0; i < 3; ++i)
        EXPECT_GT(countPixels(image, view.rowRect(i).toAlignedRect(), dots[i]), 20) << i;

    // Screen readers find the header and the rows; a row with a page or a pane offers the standard
    // press action, spoken "Öffnen", which opens the page or asks for the pane.
    QAccessibleInterface *overlay = QAccessible::queryAccessibleInterface(&view);
    ASSERT_EQ(overlay->childCount(), 4);
    QAccessibleActionInterface *press = overlay->child(1)->actionInterface();
    ASSERT_EQ(press->actionNames(), QStringList { QAccessibleActionInterface::pressAction() });
    EXPECT_EQ(press->localizedActionName(QAccessibleActionInterface::pressAction()), u"Öffnen");
    UrlSink browser;
    press->doAction(QAccessibleActionInterface::pressAction());
    QSignalSpy panes(&view, &NotchView::paneRequested);
    overlay->child(2)->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_EQ(browser.opened, QList<QUrl> { page });
    ASSERT_EQ(panes.size(), 1);
    EXPECT_EQ(panes.first().first().toString(), u"docker"_s);
    EXPECT_TRUE(overlay->child(3)->actionInterface()->actionNames().isEmpty()) << "a row without either";

    // Reduced motion: the new state is drawn at once, without frames in between.
    reduceMotion.setOn(true);
    shapeChanges = 0;
    model.setExpanded(false);
    EXPECT_EQ(shapeChanges, 1);
    EXPECT_EQ(opaqueBox(render()), collapsedBox);
}

} // namespace

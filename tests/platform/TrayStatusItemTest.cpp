#include "platform/qt/TrayStatusItem.h"
#include "QtPrinters.h"
#include "core/Color.h"

#include <QImage>
#include <QTextDocument>

#include <gtest/gtest.h>

// Pixels of the icon's top-right quarter near `color`, at a size tray hosts ask for.
static int dotPixels(const QIcon &icon, Color color)
{
    const QImage image = icon.pixmap(QSize(32, 32), 1.0).toImage();
    const QColor wanted = color.toQColor();
    int count = 0;
    for (int y = 0; y < 16; ++y) {
        for (int x = 16; x < 32; ++x) {
            const QColor pixel = image.pixelColor(x, y);
            count += pixel.alpha() == 255 && std::abs(pixel.red() - wanted.red()) < 24
                && std::abs(pixel.green() - wanted.green()) < 24 && std::abs(pixel.blue() - wanted.blue()) < 24;
        }
    }
    return count;
}

// The tooltip as a tray host's tooltip shows it: rich text when Qt takes it for rich text.
static QString shownToolTip(const QString &toolTip)
{
    if (!Qt::mightBeRichText(toolTip))
        return toolTip;
    QTextDocument document;
    document.setHtml(toolTip);
    return document.toPlainText();
}

TEST(TrayStatusItem, DotAndTooltipFollowTheStatus)
{
    TrayStatusItem item;
    item.setSymbol(QStringLiteral("rectangle.topthird.inset.filled"), QStringLiteral("Tarnlet"));
    item.setStatus(QStringLiteral("CI fehlgeschlagen · main"), StatusItem::Attention::Failure);
    EXPECT_EQ(item.toolTip(), QStringLiteral("CI fehlgeschlagen · main"));
    // A workflow's name is shown as written, never read as markup.
    for (const QString &line :
        { QStringLiteral("<img src=/dev/zero> <b>x</b> fehlgeschlagen"), QStringLiteral("Build & Test · a &lt; b") }) {
        item.setStatus(line, StatusItem::Attention::Failure);
        EXPECT_EQ(shownToolTip(item.toolTip()), line);
    }
    EXPECT_GT(dotPixels(item.icon(), Color::red()), 20);

    item.setStatus(QStringLiteral("CI · main"), StatusItem::Attention::Active);
    EXPECT_EQ(dotPixels(item.icon(), Color::red()), 0);
    EXPECT_GT(dotPixels(item.icon(), Color::orange()), 20);

    item.setStatus(QStringLiteral("CI · main"), StatusItem::Attention::None);
    EXPECT_EQ(dotPixels(item.icon(), Color::orange()), 0);
    EXPECT_EQ(item.icon().name(), QString()) << "a StatusNotifierItem host would look the name up in its theme";
}

// On a host that does not tell its panel's colour (GNOME's black top bar, a light KDE panel) the
// symbol is white inside a dark outline, so that it shows on both; the dots stay.
TEST(TrayStatusItem, OnAnUnknownPanelTheSymbolIsOutlined)
{
    struct OnStatusNotifierHost : TrayStatusItem {
        OnStatusNotifierHost() { setPanelColourKnown(false); }
    } item;
    item.setSymbol(QStringLiteral("rectangle.topthird.inset.filled"), QStringLiteral("Tarnlet"));
    const QImage image = item.icon().pixmap(QSize(22, 22), 1.0).toImage();
    int light = 0;
    int dark = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor pixel = image.pixelColor(x, y);
            light += pixel.alpha() > 200 && pixel.lightness() > 200;
            dark += pixel.alpha() > 150 && pixel.lightness() < 60;
        }
    }
    EXPECT_GT(light, 20);
    EXPECT_GT(dark, 20);
    item.setStatus(QStringLiteral("CI · main"), StatusItem::Attention::Failure);
    EXPECT_GT(dotPixels(item.icon(), Color::red()), 20);
}

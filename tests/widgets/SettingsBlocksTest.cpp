// The building blocks' geometry: cards, rows and dividers measured and painted on their own.
#include "widgets/SettingsBlocks.h"
#include "widgets/SettingsStyle.h"
#include "widgets/ToggleSwitch.h"

#include <QCoreApplication>
#include <QImage>
#include <QLabel>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

// A card laid out at a fixed width on its own.
int cardHeight(SettingsCard &card)
{
    card.resize(500, card.sizeHint().height());
    card.adjustSize();
    return card.sizeHint().height();
}

TEST(SettingsBlocksTest, CardIsExactlyItsRowsPlusOnePointPerDivider)
{
    SettingsCard one;
    auto *row = new SettingsRow(u"Bei Hover aufklappen"_s, new ToggleSwitch(u"Bei Hover aufklappen"_s));
    one.addWidget(row);
    const int rowHeight = row->sizeHint().height();
    EXPECT_GE(rowHeight, 44);
    EXPECT_EQ(cardHeight(one), rowHeight);

    // A bare text row still stands 44 high.
    SettingsRow textRow(u"Status"_s, new QLabel(u"Keine Daten"_s));
    EXPECT_EQ(textRow.sizeHint().height(), 44);

    SettingsCard three;
    int rows = 0;
    for (int i = 0; i < 3; ++i) {
        if (i > 0)
            three.addWidget(new SettingsDivider);
        auto *added = new SettingsRow(u"Zeile"_s, new QLabel(u"Wert"_s));
        three.addWidget(added);
        rows += added->sizeHint().height();
    }
    EXPECT_EQ(cardHeight(three), rows + 2);
}

TEST(SettingsBlocksTest, LongRowTitleKeepsTwelvePointsFromTheControl)
{
    auto *control = new ToggleSwitch(u"x"_s);
    SettingsRow row(QString(200, u'W'), control);
    row.resize(400, row.sizeHint().height());
    row.show();
    QCoreApplication::processEvents();
    EXPECT_GE(control->geometry().left() - row.titleLabel()->geometry().right() - 1, 12);
    EXPECT_EQ(control->geometry().right(), 400 - 16 - 1);
    EXPECT_EQ(control->sizeHint(), control->size());
}

TEST(SettingsBlocksTest, DividerIsOnePointInTheTextColourFromTheTitleInset)
{
    SettingsDivider divider;
    divider.resize(200, 1);
    for (const QPalette &palette : { SettingsStyle::lightPalette(), SettingsStyle::darkPalette() }) {
        divider.setPalette(palette);
        QImage image(200, 1, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        divider.render(&image, {}, {}, QWidget::RenderFlags());
        EXPECT_EQ(image.pixelColor(8, 0).alpha(), 0);
        const QColor line = image.pixelColor(100, 0);
        EXPECT_NEAR(line.alphaF(), 0.08, 0.01);
        // Stored premultiplied, the faint line keeps its colour only roughly.
        EXPECT_NEAR(line.red(), palette.color(QPalette::WindowText).red(), 13);
    }
}

} // namespace

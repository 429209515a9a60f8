// The building blocks' geometry, and what screen readers see of the painted controls.
#include "SettingsTestSupport.h"

#include "settings/NotchPreview.h"
#include "settings/SettingsAccessibility.h"
#include "settings/SettingsBlocks.h"
#include "settings/SettingsStyle.h"
#include "settings/ToggleSwitch.h"

#include <QAccessible>
#include <QImage>
#include <QLineEdit>

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

TEST(SettingsBlocksTest, PreviewKeepsItsHeightAndIsOneLabelledImage)
{
    SettingsAccessibility::install();
    NotchPreview preview;
    preview.resize(1200, 400);
    EXPECT_EQ(preview.height(), 150);
    QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(&preview);
    EXPECT_EQ(accessible->role(), QAccessible::Graphic);
    EXPECT_EQ(accessible->text(QAccessible::Name), u"Vorschau der Notch: Deploy in staging, läuft seit 42 Sekunden"_s);
    EXPECT_EQ(accessible->childCount(), 0);
}

class SettingsAccessibilityTest : public SettingsWindowTestBase { };

TEST_F(SettingsAccessibilityTest, SwitchesAreCheckBoxesAndSidebarRowsSelectableListItems)
{
    QWidget &pane = select(SettingsPane::Notch);
    auto *hover = findNamed<ToggleSwitch>(pane, u"Bei Hover aufklappen"_s);
    ASSERT_TRUE(hover);
    QAccessibleInterface *toggle = QAccessible::queryAccessibleInterface(hover);
    EXPECT_EQ(toggle->role(), QAccessible::CheckBox);
    EXPECT_EQ(toggle->text(QAccessible::Name), u"Bei Hover aufklappen"_s);
    EXPECT_TRUE(toggle->state().checked);
    toggle->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
    EXPECT_FALSE(fixture.preferences->boolValue(AppPreferences::hoverOpens));
    EXPECT_FALSE(toggle->state().checked);

    QAccessibleInterface *notch = QAccessible::queryAccessibleInterface(view().sidebar()->row(SettingsPane::Notch));
    QAccessibleInterface *docker = QAccessible::queryAccessibleInterface(view().sidebar()->row(SettingsPane::Docker));
    EXPECT_EQ(notch->role(), QAccessible::ListItem);
    EXPECT_TRUE(notch->state().selected);
    EXPECT_FALSE(docker->state().selected);
    docker->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_EQ(view().selection(), SettingsPane::Docker);
    EXPECT_TRUE(docker->state().selected);
    EXPECT_FALSE(notch->state().selected);

    EXPECT_EQ(view().searchEdit()->accessibleName(), u"Einstellungen durchsuchen"_s);
}

} // namespace

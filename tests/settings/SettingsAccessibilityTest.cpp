// What screen readers see of the painted controls, the sidebar and the preview.
#include "SettingsTestSupport.h"

#include "settings/NotchPreview.h"
#include "settings/SettingsAccessibility.h"
#include "widgets/ToggleSwitch.h"

#include <QAccessible>
#include <QLineEdit>

using namespace Qt::StringLiterals;

namespace {

TEST(SettingsPreviewTest, PreviewKeepsItsHeightAndIsOneLabelledImage)
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

// The settings window: first show, reopening, the sidebar search, the colour scheme and the
// extra actions for desktops without a tray.
#include "SettingsTestSupport.h"

#include "widgets/SettingsBlocks.h"
#include "widgets/SteppedSlider.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QToolButton>

using namespace Qt::StringLiterals;

namespace {

class SettingsWindowTest : public SettingsWindowTestBase {
protected:
    // The titles the sidebar lists, in order.
    QStringList listed()
    {
        QStringList titles;
        for (SidebarGroup *group : view().sidebar()->groups()) {
            for (SidebarRow *row : group->rows()) {
                if (row->isVisibleTo(&view()))
                    titles << row->text();
            }
        }
        return titles;
    }

    bool moduleHeaderShown()
    {
        SidebarGroup *modules = view().sidebar()->groups().at(1);
        return modules->isVisibleTo(&view()) && visibleTexts(*modules).contains(QStringLiteral("Module"));
    }

    bool dividerShown()
    {
        const auto dividers = view().sidebar()->findChildren<SettingsDivider *>();
        return dividers.size() == 1 && dividers.first()->isVisibleTo(&view());
    }
};

TEST_F(SettingsWindowTest, FirstShowListsEveryPaneWithGeneralSelectedCentredAtItsSize)
{
    EXPECT_EQ(view().windowTitle(), QStringLiteral("Tarnlet Einstellungen"));
    EXPECT_EQ(view().size(), QSize(880, 600));
    EXPECT_EQ(view().minimumSize(), QSize(780, 540));
    EXPECT_TRUE(centred());
    EXPECT_EQ(view().selection(), SettingsPane::General);
    EXPECT_TRUE(view().sidebar()->row(SettingsPane::General)->isSelected());
    EXPECT_TRUE(view().search().isEmpty());
    EXPECT_EQ(view().searchEdit()->placeholderText(), QStringLiteral("Suchen"));
    EXPECT_EQ(listed(),
        (QStringList { u"Allgemein"_s, u"Notch"_s, u"Benachrichtigungen"_s, u"GitHub Actions"_s, u"Pull Requests"_s,
            u"Docker"_s, u"GitHub-Konto"_s, u"Updates"_s }));
    EXPECT_TRUE(moduleHeaderShown());
    EXPECT_TRUE(dividerShown());
    // The window has a title bar of its own: no empty band above the search field and the title.
    EXPECT_EQ(view().findChild<SearchField *>()->mapTo(&view(), QPoint()).y(), 14);
    EXPECT_EQ(view().findChild<PaneHeader *>()->mapTo(&view(), QPoint()).y(), 32);
}

TEST_F(SettingsWindowTest, OnlyTheBackgroundMovesTheWindowAndTheSearchFieldsPaddingFocusesIt)
{
    const auto centreOf = [this](QWidget *widget) { return widget->mapTo(&view(), widget->rect().center()); };
    EXPECT_TRUE(view().movesWindow(QPoint(4, 4)));
    EXPECT_FALSE(view().movesWindow(centreOf(view().searchEdit())));

    fixture.preferences->setValue(AppPreferences::autoExpandOnEvents, false);
    EXPECT_FALSE(view().movesWindow(centreOf(select(SettingsPane::Notifications).findChild<SteppedSlider *>())));
    fixture.updater->setCanCheck(false);
    auto *check = select(SettingsPane::Updates).findChild<QPushButton *>();
    ASSERT_FALSE(check->isEnabled());
    EXPECT_FALSE(view().movesWindow(centreOf(check)));

    view().sidebar()->row(SettingsPane::General)->setFocus();
    QTest::mouseClick(view().findChild<SearchField *>(), Qt::LeftButton, {}, QPoint(12, 17));
    EXPECT_TRUE(view().searchEdit()->hasFocus());
}

TEST_F(SettingsWindowTest, SearchFiltersTitlesCaseInsensitivelyAndNeverChangesTheSelection)
{
    select(SettingsPane::Docker);
    QWidget *pane = view().currentPane();

    view().setSearch(QStringLiteral("up"));
    EXPECT_EQ(listed(), QStringList { u"Updates"_s });
    EXPECT_FALSE(moduleHeaderShown());
    EXPECT_FALSE(view().sidebar()->groups().at(0)->isVisibleTo(&view()));
    EXPECT_TRUE(dividerShown());

    view().setSearch(QStringLiteral("GIT"));
    EXPECT_EQ(listed(), (QStringList { u"GitHub Actions"_s, u"GitHub-Konto"_s }));
    EXPECT_TRUE(moduleHeaderShown());

    // Used as typed: one space keeps the two titles that contain one.
    view().setSearch(QStringLiteral(" "));
    EXPECT_EQ(listed(), (QStringList { u"GitHub Actions"_s, u"Pull Requests"_s }));

    view().setSearch(QStringLiteral("xyz"));
    EXPECT_TRUE(listed().isEmpty());
    EXPECT_FALSE(moduleHeaderShown());
    EXPECT_TRUE(dividerShown());

    // Accents count: "Benachrichtigungen" has none, so an accented search finds nothing.
    view().setSearch(QStringLiteral("ä"));
    EXPECT_TRUE(listed().isEmpty());

    EXPECT_EQ(view().selection(), SettingsPane::Docker);
    EXPECT_EQ(view().currentPane(), pane);
    EXPECT_TRUE(view().sidebar()->row(SettingsPane::Docker)->isSelected());
}

TEST_F(SettingsWindowTest, ArrowKeysMoveTheSelectionThroughTheListedRowsOnly)
{
    view().setSearch(u" "_s);
    SidebarRow *actions = view().sidebar()->row(SettingsPane::GitHubActions);
    actions->setFocus();
    QTest::keyClick(actions, Qt::Key_Down);
    EXPECT_EQ(view().selection(), SettingsPane::PullRequests);
    QTest::keyClick(view().sidebar()->row(SettingsPane::PullRequests), Qt::Key_Down);
    EXPECT_EQ(view().selection(), SettingsPane::PullRequests);
    QTest::keyClick(view().sidebar()->row(SettingsPane::PullRequests), Qt::Key_Up);
    EXPECT_EQ(view().selection(), SettingsPane::GitHubActions);
    // Space picks the focused row.
    view().setSearch({});
    SidebarRow *updates = view().sidebar()->row(SettingsPane::Updates);
    updates->setFocus();
    QTest::keyClick(updates, Qt::Key_Space);
    EXPECT_EQ(view().selection(), SettingsPane::Updates);
}

TEST_F(SettingsWindowTest, TabVisitsSearchPaneListAndThePanesControlsInOrder)
{
    view().searchEdit()->setFocus();
    QStringList visited;
    for (int i = 0; i < 13; ++i) {
        QWidget *focus = QApplication::focusWidget();
        const auto *button = qobject_cast<QAbstractButton *>(focus);
        visited << (focus->accessibleName().isEmpty() && button ? button->text() : focus->accessibleName());
        QTest::keyClick(focus, Qt::Key_Tab);
    }
    EXPECT_EQ(visited,
        (QStringList { u"Einstellungen durchsuchen"_s, u"Allgemein"_s, u"Notch"_s, u"Benachrichtigungen"_s,
            u"GitHub Actions"_s, u"Pull Requests"_s, u"Docker"_s, u"GitHub-Konto"_s, u"Updates"_s, u"System"_s,
            u"System"_s, u"Einstellungen beim Start anzeigen"_s, u"Einstellungen durchsuchen"_s }));
}

TEST_F(SettingsWindowTest, ClosingHidesAndTheNextShowBringsBackTheSameWindowCentredAgain)
{
    view().sidebar()->row(SettingsPane::Notifications)->click();
    view().setSearch(QStringLiteral("be"));
    SettingsView *first = &view();
    view().move(10, 10);
    view().close();
    EXPECT_FALSE(view().isVisible());

    fixture.controller->show();
    EXPECT_EQ(&view(), first);
    EXPECT_TRUE(view().isVisible());
    EXPECT_EQ(view().selection(), SettingsPane::Notifications);
    EXPECT_EQ(view().search(), QStringLiteral("be"));
    EXPECT_TRUE(centred());
}

TEST_F(SettingsWindowTest, StoredAppearanceForcesTheSchemeAtOnceAndAnythingElseFollowsTheDesktop)
{
    const QColor desktop = QApplication::palette().color(QPalette::Window);
    const auto window = [this] { return view().palette().color(QPalette::Window); };
    fixture.preferences->setValue(AppPreferences::appearance, QStringLiteral("dark"));
    EXPECT_LT(window().lightness(), 80);
    fixture.preferences->setValue(AppPreferences::appearance, QStringLiteral("light"));
    EXPECT_GT(window().lightness(), 200);
    fixture.preferences->setValue(AppPreferences::appearance, QStringLiteral("Dark"));
    EXPECT_EQ(window(), desktop);
    fixture.preferences->setValue(AppPreferences::appearance, QStringLiteral("dark"));
    fixture.preferences->setValue(AppPreferences::appearance, QStringLiteral("system"));
    EXPECT_EQ(window(), desktop);
}

TEST_F(SettingsWindowTest, ExtraActionsBecomeSidebarButtonsThatTriggerThem)
{
    QAction quit(QStringLiteral("Beenden"));
    int triggered = 0;
    QObject::connect(&quit, &QAction::triggered, [&triggered] { ++triggered; });
    EXPECT_TRUE(view().findChildren<QToolButton *>().isEmpty());

    fixture.controller->setExtraActions({ &quit });
    const auto buttons = view().findChildren<QToolButton *>();
    ASSERT_EQ(buttons.size(), 1);
    EXPECT_EQ(buttons.first()->text(), QStringLiteral("Beenden"));
    buttons.first()->click();
    EXPECT_EQ(triggered, 1);

    fixture.controller->setExtraActions({});
    settle();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(view().findChildren<QToolButton *>().isEmpty());
}

} // namespace

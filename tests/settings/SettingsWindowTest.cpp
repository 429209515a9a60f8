#include "SettingsTestSupport.h"

#include <QLineEdit>
#include <QScreen>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

using SettingsWindowTest = SettingsTest;

TEST_F(SettingsWindowTest, ReopensTheSameWindowCentredWithThePaneUnderItsHeaderInTheStoredScheme)
{
    view().sidebar()->row(u"notifications"_s)->click();
    view().move(10, 10);
    view().close();
    controller.show();
    EXPECT_EQ(view().selection(), u"notifications"_s);
    EXPECT_LE((view().geometry().center() - view().screen()->availableGeometry().center()).manhattanLength(), 1)
        << "centred again, to the pixel that halving rounds off";
    settle();
    const QWidget *header = view().findChild<PaneHeader *>();
    const int gap
        = view().currentPane()->mapTo(&view(), QPoint()).y() - header->mapTo(&view(), QPoint(0, header->height())).y();
    EXPECT_TRUE(gap >= 0 && gap < 40) << gap;

    prefs.setValue(AppPreferences::appearance, u"dark"_s);
    EXPECT_LT(view().palette().color(QPalette::Window).lightness(), 80);
    prefs.setValue(AppPreferences::appearance, u"Dark"_s); // not a known scheme: the desktop's
    EXPECT_EQ(view().palette().color(QPalette::Window), QApplication::palette().color(QPalette::Window));
}

TEST_F(SettingsWindowTest, SearchFiltersTheListAsTypedAndKeysMoveThroughTheListedRowsOnly)
{
    add(u"docker"_s, u"Docker"_s); // registered after the window was made
    select(u"docker"_s);
    QWidget *pane = view().currentPane();
    // The titles the sidebar lists, and the modules' header when it shows.
    const auto listed = [this] {
        QStringList titles;
        for (SidebarRow *row : view().sidebar()->findChildren<SidebarRow *>()) {
            if (row->isVisibleTo(&view()))
                titles << row->text();
        }
        SidebarGroup *modules = view().sidebar()->groups().at(1);
        if (modules->isVisibleTo(&view()) && visibleTexts(*modules).contains(u"Module"_s))
            titles << u"(Module)"_s;
        return titles;
    };
    const std::pair<QString, QStringList> searches[]
        = { { u"up"_s, { u"Updates"_s } }, { u"GIT"_s, { u"GitHub Actions"_s, u"GitHub-Konto"_s, u"(Module)"_s } },
              { u"ä"_s, {} }, { u"OCK"_s, { u"Docker"_s, u"(Module)"_s } },
              { u" "_s, { u"GitHub Actions"_s, u"Pull Requests"_s, u"(Module)"_s } } };
    for (const auto &[search, titles] : searches) {
        view().setSearch(search);
        EXPECT_EQ(listed(), titles) << search.toStdString();
    }
    EXPECT_EQ(view().currentPane(), pane) << "searching never changes the selection";

    // The arrow keys move through the listed rows only.
    for (const QString &row : { u"github.actions"_s, u"github.pullRequests"_s }) {
        view().sidebar()->row(row)->setFocus();
        QTest::keyClick(view().sidebar()->row(row), Qt::Key_Down);
        EXPECT_EQ(view().selection(), u"github.pullRequests"_s);
    }
}

} // namespace

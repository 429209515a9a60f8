#include "SettingsTestSupport.h"

#include <QAccessible>
#include <QScreen>
#include <QScrollBar>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

using SettingsWindowTest = SettingsTest;

TEST_F(SettingsWindowTest, ReopensTheSameWindowCentredWithThePaneUnderItsHeaderInTheStoredScheme)
{
    add(u"docker"_s, u"Docker"_s);
    SettingsSidebar &sidebar = *view().sidebar();
    QTest::mouseClick(sidebar.viewport(), Qt::LeftButton, {},
        sidebar.visualRect(sidebar.indexOf(SettingsPanes::notifications)).center());
    view().move(10, 10);
    view().close();
    controller.show();
    EXPECT_EQ(view().selection(), SettingsPanes::notifications);
    EXPECT_LE((view().geometry().center() - view().screen()->availableGeometry().center()).manhattanLength(), 1)
        << "centred again, to the pixel that halving rounds off";
    settle();
    EXPECT_EQ(sidebar.verticalScrollBar()->maximum(), 0) << "every pane in view at the default size";
    const QWidget *header = view().findChild<PaneHeader *>();
    const int gap
        = view().currentPane()->mapTo(&view(), QPoint()).y() - header->mapTo(&view(), QPoint(0, header->height())).y();
    EXPECT_TRUE(gap >= 0 && gap < 40) << gap;

    prefs.setValue(AppPreferences::appearance, u"dark"_s);
    EXPECT_LT(view().palette().color(QPalette::Window).lightness(), 80);
    prefs.setValue(AppPreferences::appearance, u"Dark"_s); // not a known scheme: the desktop's
    EXPECT_EQ(view().palette().color(QPalette::Window), QApplication::palette().color(QPalette::Window));
}

TEST_F(SettingsWindowTest, SearchFiltersTheListAsTypedAndKeysMoveThroughTheListedPanesOnly)
{
    add(u"docker"_s, u"Docker"_s); // registered after the window was made
    select(u"docker"_s);
    QWidget *pane = view().currentPane();
    // What a screen reader finds in the list: the panes by title (the selected one marked), the
    // header in brackets, the divider as a dash.
    const auto listed = [this] {
        QStringList items;
        // Read anew each time: Qt keeps the items' interfaces current only while a screen reader runs.
        QAccessible::deleteAccessibleInterface(
            QAccessible::uniqueId(QAccessible::queryAccessibleInterface(view().sidebar())));
        QAccessibleInterface *list = QAccessible::queryAccessibleInterface(view().sidebar());
        for (int at = 0; at < list->childCount(); ++at) {
            QAccessibleInterface *item = list->child(at);
            const QString name = item->text(QAccessible::Name);
            if (item->role() != QAccessible::ListItem)
                items << u"?"_s;
            else if (!item->state().selectable)
                items << (name.isEmpty() ? u"-"_s : u'(' + name + u')');
            else
                items << name + (item->state().selected ? u"*"_s : u""_s);
        }
        return items;
    };
    const std::pair<QString, QStringList> searches[] = { { u"up"_s, { u"-"_s, u"Updates"_s } },
        { u"GIT"_s, { u"(Module)"_s, u"GitHub Actions"_s, u"-"_s, u"GitHub-Konto"_s } }, { u"ä"_s, { u"-"_s } },
        { u"OCK"_s, { u"(Module)"_s, u"Docker*"_s, u"-"_s } },
        { u""_s,
            { u"Allgemein"_s, u"Notch"_s, u"Benachrichtigungen"_s, u"(Module)"_s, u"GitHub Actions"_s,
                u"Pull Requests"_s, u"Docker*"_s, u"-"_s, u"GitHub-Konto"_s, u"Updates"_s } },
        { u" "_s, { u"(Module)"_s, u"GitHub Actions"_s, u"Pull Requests"_s, u"-"_s } } };
    for (const auto &[search, items] : searches) {
        view().setSearch(search);
        settle();
        EXPECT_EQ(listed(), items) << search.toStdString();
    }
    EXPECT_EQ(view().currentPane(), pane) << "searching never changes the selection";

    // Up and Down move through the listed panes only, past the header and the divider.
    SettingsSidebar &sidebar = *view().sidebar();
    sidebar.setFocus();
    const std::tuple<QString, QString, Qt::Key, QString> moves[] = {
        { u" "_s, u"github.actions"_s, Qt::Key_Down, u"github.pullRequests"_s },
        { u" "_s, u"github.pullRequests"_s, Qt::Key_Down, u"github.pullRequests"_s },
        { u""_s, u"github.actions"_s, Qt::Key_Up, SettingsPanes::notifications },
        { u""_s, u"docker"_s, Qt::Key_Down, u"githubAccount"_s },
    };
    for (const auto &[search, from, key, to] : moves) {
        view().setSearch(search);
        sidebar.setCurrentIndex(sidebar.indexOf(from));
        QTest::keyClick(&sidebar, key);
        EXPECT_EQ(view().selection(), to) << from.toStdString();
    }
}

} // namespace

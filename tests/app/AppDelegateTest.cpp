#include "AppFixture.h"
#include "QtPrinters.h"
#include "RowModule.h"

#include "core/prefs/AppPreferences.h"
#include "notch/NotchController.h"
#include "notch/NotchModel.h"
#include "settings/SettingsView.h"
#include "settings/SettingsWindowController.h"

#include <QAction>
#include <QApplication>
#include <QEventLoop>
#include <QMenu>
#include <QNetworkReply>
#include <QTest>

namespace {

using namespace Qt::StringLiterals;

class AppDelegateTest : public AppFixture {
protected:
    HeadlessStatusItem &tray() const { return static_cast<HeadlessStatusItem &>(*app->statusItem()); }
    bool requested(const QByteArray &path, const QByteArray &authorization) const
    {
        return std::ranges::any_of(server.requests(), [&](const HttpsTestServer::Request &request) {
            return request.path() == path && request.header("Authorization") == authorization;
        });
    }
};

// The launch builds the overlay, the modules, the settings window and the status item; the modules
// poll only afterwards, with the token read once; the tray follows the modules' line; the menu's
// entries do what they say. (Saving a token is the account pane's test.)
TEST_F(AppDelegateTest, LaunchesThenPollsFollowsTheModulesAndServesTheMenu)
{
    prefs.store->setValue(AppPreferences::autoExpandOnEvents, false);
    AppDelegate &delegate = create();
    // Registered ahead of the set-up's modules, so its status leads the line.
    auto module = std::make_unique<RowModule>(u"ci"_s);
    RowModule &ci = *module;
    delegate.registry().registerModule(std::move(module));
    ci.setStatus(ModuleStatus { u"CI · main"_s, Color::orange() });
    delegate.applicationDidFinishLaunching();
    // Nothing polled during the launch, although reading the token ran queued work; one read for
    // both clients, so a locked keyring asks to be unlocked once per launch.
    EXPECT_TRUE(network.findChildren<QNetworkReply *>().isEmpty());
    EXPECT_EQ(secrets.reads, 1);
    EXPECT_NE(delegate.registry().module(u"docker"_s), nullptr);

    ASSERT_EQ(tray().menu(), delegate.statusMenu());
    EXPECT_TRUE(tray().isShown());
    const QList<QAction *> menu = delegate.statusMenu()->actions();
    QStringList entries;
    for (const QAction *action : menu)
        entries << action->text() + u'|' + action->shortcut().toString();
    EXPECT_EQ(entries,
        QStringList({ u"Test-Ereignis anzeigen|Ctrl+T"_s, u"Einstellungen …|Ctrl+,"_s, u"Nach Updates suchen …|"_s,
            u"|"_s, u"Beenden|Ctrl+Q"_s }));
    EXPECT_EQ(tray().toolTip(), u"CI · main"_s);
    EXPECT_EQ(tray().attention(), StatusItem::Attention::Active);
    ci.setStatus(ModuleStatus { u"CI · main"_s, Color::red() });
    QCoreApplication::processEvents();
    EXPECT_EQ(tray().attention(), StatusItem::Attention::Failure);

    const QByteArray bearer = "Bearer " + token.toLatin1();
    EXPECT_TRUE(QTest::qWaitFor([&] { return requested("/notifications", bearer); }, 10000));
    scheduler.advance(60); // the updater's first check, anonymous
    EXPECT_TRUE(QTest::qWaitFor([&] { return requested("/repos/teskarvo/Tarnlet/releases/latest", {}); }, 10000));

    SettingsView *window = delegate.settings()->window();
    ASSERT_TRUE(window && window->isVisible()) << "open at launch by default";
    window->close();
    menu[1]->trigger();
    EXPECT_TRUE(delegate.settings()->window()->isVisible());
    // Ctrl+T: the test flash, which ignores the preference that keeps module events quiet; the
    // tooltip shows it for its time, the tray's dot keeps saying what the modules say.
    QApplication::setActiveWindow(window);
    QTest::keyClick(window, Qt::Key_T, Qt::ControlModifier);
    EXPECT_TRUE(delegate.notch()->model().isExpanded());
    EXPECT_EQ(tray().toolTip(), u"Tests bestanden · main"_s);
    EXPECT_EQ(tray().attention(), StatusItem::Attention::Failure);
    scheduler.advance(3.5);
    EXPECT_EQ(tray().toolTip(), u"CI · main"_s);
    ci.setStatus(ModuleStatus { u"CI · main"_s, Color::green() });
    QCoreApplication::processEvents();
    EXPECT_EQ(tray().attention(), StatusItem::Attention::None);

    menu[2]->trigger();
    EXPECT_TRUE(QTest::qWaitFor([&] { return dialogs.currentBox(); }, 10000)) << "a check the user started answers";
}

} // namespace

#include "AppFixture.h"
#include "QtPrinters.h"
#include "RowModule.h"

#include "core/prefs/AppPreferences.h"
#include "notch/NotchModel.h"
#include "notch/NotchPanel.h"
#include "settings/SettingsView.h"
#include "settings/SettingsWindowController.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QEventLoop>
#include <QLineEdit>
#include <QMenu>
#include <QNetworkReply>
#include <QTest>

namespace {

using namespace Qt::StringLiterals;

class AppDelegateTest : public AppFixture {
protected:
    QAction *entry(const QString &title) const
    {
        for (QAction *action : app->statusMenu()->actions())
            if (action->text() == title)
                return action;
        ADD_FAILURE() << "no menu entry " << title.toStdString();
        return nullptr;
    }

    bool requested(const QByteArray &path, const QByteArray &authorization = {}) const
    {
        for (const auto &request : server.requests())
            if (request.path() == path && (authorization.isNull() || request.header("Authorization") == authorization))
                return true;
        return false;
    }

    // The menu's commands the settings window offers while there is no tray.
    QStringList offered() const
    {
        QStringList buttons;
        if (SettingsView *window = app->settings()->window())
            for (const QAbstractButton *button : window->findChildren<QAbstractButton *>())
                for (const QAction *action : app->statusMenu()->actions())
                    if (!action->isSeparator() && button->text() == action->text())
                        buttons << button->text();
        return buttons;
    }
};

TEST_F(AppDelegateTest, LaunchesInOrderAndBuildsTheStatusMenu)
{
    AppDelegate &delegate = create();
    EXPECT_EQ(delegate.notch(), nullptr);
    delegate.showSettings(); // nothing to show yet
    EXPECT_FALSE(prefs.store->value(AppPreferences::flashDuration).isValid());

    launch();
    EXPECT_TRUE(prefs.store->value(AppPreferences::flashDuration).isValid()) << "defaults registered";
    EXPECT_TRUE(builtBeforeStatusItem);
    QStringList ids;
    for (const DevModule *module : delegate.registry().modules())
        ids << module->id();
    EXPECT_EQ(ids, QStringList({ u"github.actions"_s, u"github.pullRequests"_s, u"docker"_s }));

    EXPECT_EQ(statusItem().symbol(), u"rectangle.topthird.inset.filled"_s);
    EXPECT_EQ(statusItem().accessibleDescription(), u"Tarnlet"_s);
    EXPECT_TRUE(statusItem().isShown());
    ASSERT_EQ(statusItem().menu(), delegate.statusMenu());
    QStringList entries;
    for (const QAction *action : delegate.statusMenu()->actions())
        entries << (action->isSeparator()
                ? u"---"_s
                : action->text() + u'|' + action->shortcut().toString(QKeySequence::NativeText));
    EXPECT_EQ(entries,
        QStringList({ u"Test-Ereignis anzeigen|Ctrl+T"_s, u"Einstellungen …|Ctrl+,"_s, u"Nach Updates suchen …|"_s,
            u"---"_s, u"Beenden|Ctrl+Q"_s }));
    // The settings window opens at launch by default; with a tray there, nothing is said.
    ASSERT_NE(delegate.settings()->window(), nullptr);
    EXPECT_TRUE(delegate.settings()->window()->isVisible());
    EXPECT_TRUE(notices.isEmpty());

    // The updater was started: its first automatic check goes out a minute later.
    scheduler.advance(60);
    EXPECT_TRUE(QTest::qWaitFor([&] { return requested("/repos/teskarvo/Tarnlet/releases/latest"); }, 10000));

    // At exit the menu outlives the item that shows it.
    bool menuAlive = false;
    QObject::connect(&statusItem(), &QObject::destroyed,
        [&menuAlive, menu = QPointer(statusItem().menu())] { menuAlive = !menu.isNull(); });
    app.reset();
    EXPECT_TRUE(menuAlive);
}

TEST_F(AppDelegateTest, ModulesStartAfterTheLaunchWithTheTokenReadOnceAndTheAccountPaneSavesANewOne)
{
    prefs.store->setValue(u"disabledModuleIDs"_s, QStringList { u"docker"_s });
    launch();
    // Nothing polled during the launch, although reading the token ran queued work; one read for
    // both clients, so a locked keyring asks to be unlocked once per launch.
    EXPECT_TRUE(network.findChildren<QNetworkReply *>().isEmpty());
    EXPECT_EQ(secrets.stored.reads, 1);
    // A token stored in the keyring now is not seen: the clients keep what was read at launch.
    secrets.stored.items.insert(u"github.pat"_s, u"ghp_later"_s);
    ASSERT_TRUE(QTest::qWaitFor([&] { return server.requests().size() >= 2; }, 10000));
    EXPECT_TRUE(requested("/notifications", "Bearer " + token.toLatin1()));
    EXPECT_TRUE(requested("/repos/teskarvo/Tarnlet/actions/runs", "Bearer " + token.toLatin1()));

    SettingsView *window = app->settings()->window();
    window->setSelection(SettingsPane::GitHubAccount);
    QLineEdit *field = window->currentPane()->findChild<QLineEdit *>();
    ASSERT_NE(field, nullptr);
    field->setText(u" ghp_saved "_s);
    QTest::keyClick(field, Qt::Key_Return);
    EXPECT_EQ(secrets.stored.items.value(u"github.pat"_s), u"ghp_saved"_s);
    EXPECT_TRUE(QTest::qWaitFor([&] { return requested("/user", "Bearer ghp_saved"); }, 10000));
}

TEST_F(AppDelegateTest, MenuEntriesDoWhatTheySay)
{
    prefs.store->setValue(AppPreferences::showSettingsOnLaunch, false);
    prefs.store->setValue(AppPreferences::autoExpandOnEvents, false);
    launch();
    EXPECT_EQ(app->settings()->window(), nullptr);

    entry(u"Einstellungen …"_s)->trigger();
    SettingsView *window = app->settings()->window();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->isVisible());
    // The headless desktop blends windows, so the background lets the desktop show through.
    EXPECT_LT(window->grab().toImage().pixelColor(4, 4).alpha(), 255);

    // Ctrl+T from the settings window: the test flash, which ignores the preference that keeps
    // module events quiet.
    QApplication::setActiveWindow(window);
    QTest::keyClick(window, Qt::Key_T, Qt::ControlModifier);
    const NotchModel &model = app->notch()->model();
    EXPECT_EQ(model.statusText(), u"Tests bestanden · main"_s);
    EXPECT_EQ(model.statusColor(), Color::green());
    EXPECT_TRUE(model.isExpanded());

    entry(u"Nach Updates suchen …"_s)->trigger();
    EXPECT_TRUE(QTest::qWaitFor([&] { return dialogs.shown == 1; }, 10000)) << "a check the user started answers";

    QEventLoop loop;
    QTimer::singleShot(0, entry(u"Beenden"_s), &QAction::trigger);
    EXPECT_EQ(loop.exec(), 0);
}

TEST_F(AppDelegateTest, TheTrayIconCarriesTheStatusLine)
{
    create();
    // Registered ahead of the set-up's modules, so its status leads the line.
    auto module = std::make_unique<RowModule>(u"ci"_s);
    RowModule &ci = *module;
    app->registry().registerModule(std::move(module));
    ci.setStatus(ModuleStatus { u"CI · main"_s, Color::orange() });
    launch();
    EXPECT_EQ(statusItem().toolTip(), u"CI · main"_s);
    EXPECT_EQ(statusItem().attention(), StatusItem::Attention::Active);

    ci.setStatus(ModuleStatus { u"CI · main"_s, Color::red() });
    QCoreApplication::processEvents();
    EXPECT_EQ(statusItem().attention(), StatusItem::Attention::Failure);
    // A flash shows in the tooltip for its time; the dot keeps saying what the modules say.
    app->showTestEvent();
    EXPECT_EQ(statusItem().toolTip(), u"Tests bestanden · main"_s);
    EXPECT_EQ(statusItem().attention(), StatusItem::Attention::Failure);
    scheduler.advance(3.5);
    EXPECT_EQ(statusItem().toolTip(), u"CI · main"_s);

    ci.setStatus(ModuleStatus { u"CI · main"_s, Color::green() });
    QCoreApplication::processEvents();
    EXPECT_EQ(statusItem().attention(), StatusItem::Attention::None);
}

TEST_F(AppDelegateTest, WithoutATrayTheSettingsWindowOffersTheMenuUntilOneTurnsUp)
{
    prefs.store->setValue(AppPreferences::showSettingsOnLaunch, false);
    trayAvailable = false;
    launch();
    const QStringList commands { u"Test-Ereignis anzeigen"_s, u"Nach Updates suchen …"_s, u"Beenden"_s };
    EXPECT_TRUE(statusItem().isShown()); // appears by itself once a tray turns up

    // A moment's grace for a tray host starting at the same time.
    scheduler.advance(1.9);
    EXPECT_TRUE(app->settings()->window() == nullptr && notices.isEmpty());
    scheduler.advance(0.1);
    EXPECT_EQ(notices.size(), 1);
    ASSERT_NE(app->settings()->window(), nullptr);
    EXPECT_TRUE(app->settings()->window()->isVisible());
    EXPECT_EQ(offered(), commands);

    // A tray turns up: the commands leave the window; it goes again: they come back and the window opens.
    statusItem().setAvailable(true);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(offered().isEmpty());
    app->settings()->window()->close();
    statusItem().setAvailable(false);
    EXPECT_EQ(offered(), commands);
    EXPECT_TRUE(app->settings()->window()->isVisible());
    EXPECT_EQ(notices.size(), 1);
}

} // namespace

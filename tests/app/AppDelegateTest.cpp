#include "AppFixture.h"
#include "QtPrinters.h"
#include "RowModule.h"

#include "core/prefs/AppPreferences.h"
#include "integrations/github/GitHubServer.h"
#include "notch/NotchController.h"
#include "notch/NotchModel.h"
#include "settings/SettingsView.h"
#include "settings/SettingsWindowController.h"

#include <QAction>
#include <QApplication>
#include <QEventLoop>
#include <QLocale>
#include <QMenu>
#include <QNetworkReply>
#include <QScopeGuard>
#include <QTest>

namespace {

using namespace Qt::StringLiterals;

using AppDelegateTest = AppFixture;

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
    ci.setStatus(ModuleStatus { u"CI · main"_s, ModuleStatus::Severity::Active });
    delegate.applicationDidFinishLaunching();
    auto &tray = static_cast<HeadlessStatusItem &>(*delegate.statusItem());
    EXPECT_EQ(secrets.reads, 1) << "GitHub's for both its clients; GitLab is not in use";

    ASSERT_EQ(tray.menu(), delegate.statusMenu());
    EXPECT_TRUE(tray.isShown());
    const QList<QAction *> menu = delegate.statusMenu()->actions();
    QStringList entries;
    for (const QAction *action : menu)
        entries << action->text() + u'|' + action->shortcut().toString();
    EXPECT_EQ(entries,
        QStringList({ u"Test-Ereignis anzeigen|Ctrl+T"_s, u"Einstellungen …|Ctrl+,"_s, u"Meldungen pausieren|"_s,
            u"Nach Updates suchen …|"_s, u"|"_s, u"Beenden|Ctrl+Q"_s }));
    EXPECT_EQ(tray.toolTip(), u"CI · main"_s);
    EXPECT_EQ(tray.attention(), StatusItem::Attention::Active);

    ASSERT_TRUE(QTest::qWaitFor([&] { return !server.requests().isEmpty(); }, 10000));
    EXPECT_EQ(server.requests()[0].header("Authorization"), "Bearer " + token.toLatin1());
    scheduler.advance(60); // the updater's first check, the only request without the token
    const auto anonymous = [](const HttpsTestServer::Request &request) { return !request.hasHeader("Authorization"); };
    EXPECT_TRUE(QTest::qWaitFor([&] { return std::ranges::any_of(server.requests(), anonymous); }, 10000));

    SettingsView *window = delegate.settings()->window();
    ASSERT_TRUE(window && window->isVisible()) << "open at launch by default";
    // Ctrl+T: the test flash, which ignores the preference that keeps module events quiet; the
    // tooltip shows it for its time, the tray's dot keeps saying what the modules say.
    QApplication::setActiveWindow(window);
    QTest::keyClick(window, Qt::Key_T, Qt::ControlModifier);
    EXPECT_TRUE(delegate.notch()->model().isExpanded());
    EXPECT_EQ(tray.toolTip(), u"Tests bestanden · main"_s);
    EXPECT_EQ(tray.attention(), StatusItem::Attention::Active);
    scheduler.advance(3.5);
    EXPECT_EQ(tray.toolTip(), u"CI · main"_s);
    ci.setStatus(ModuleStatus { u"CI · main"_s, ModuleStatus::Severity::Failing });
    QCoreApplication::processEvents();
    EXPECT_EQ(tray.attention(), StatusItem::Attention::Failure);

    // Paused until resumed: the entry becomes the way back, the tooltip and the collapsed line
    // carry a mark, news does not flash, and the pause outlives the program.
    prefs.store->setValue(AppPreferences::autoExpandOnEvents, true);
    QAction *pause = menu[2];
    pause->menu()->actions()[2]->trigger();
    EXPECT_EQ(pause->text(), u"Meldungen fortsetzen"_s);
    EXPECT_EQ(tray.toolTip(), u"CI · main · Meldungen pausiert"_s);
    EXPECT_TRUE(delegate.notch()->model().isNewsPaused());
    const ModuleEvent failed { u"ci"_s, u"CI fehlgeschlagen · main"_s, ModuleStatus::Severity::Failing };
    delegate.eventBus().publish(failed);
    EXPECT_FALSE(delegate.notch()->model().isExpanded());
    EventBus otherBus;
    EXPECT_TRUE(NewsGate(otherBus, delegate.registry(), *prefs.store, scheduler).isPaused())
        << "kept in the preferences";
    pause->trigger();

    // The desktop's Do Not Disturb pauses news the same way, said as such, and leaves the menu's
    // pause alone; it ends with the desktop's.
    auto &quiet = static_cast<HeadlessDoNotDisturb &>(*desktop.doNotDisturb);
    quiet.set(true, true);
    EXPECT_EQ(tray.toolTip(), u"CI · main · Nicht stören"_s);
    EXPECT_EQ(delegate.notch()->model().pause(), NotchModel::Pause::ByDesktop);
    EXPECT_EQ(pause->text(), u"Meldungen pausieren"_s);
    delegate.eventBus().publish(failed);
    EXPECT_FALSE(delegate.notch()->model().isExpanded());
    EXPECT_EQ(delegate.news()->history().entries().size(), 2) << "recorded all the same";
    quiet.set(true, false);
    delegate.eventBus().publish(failed);
    EXPECT_TRUE(delegate.notch()->model().isExpanded());

    // The shortcut chosen in the preferences pins the overlay open from anywhere.
    auto &shortcut = static_cast<HeadlessGlobalShortcut &>(*desktop.shortcut);
    EXPECT_EQ(shortcut.state(), GlobalShortcut::State::Unset) << "none by default";
    prefs.store->setValue(AppPreferences::globalShortcut, u"Ctrl+Alt+T"_s);
    EXPECT_EQ(shortcut.keys(), QKeySequence(u"Ctrl+Alt+T"_s));
    shortcut.press();
    EXPECT_TRUE(delegate.notch()->model().isPinned());

    // An hour from now, shown with its end in the locale's short time; a computer that slept past
    // the end finds it over.
    const QLocale before;
    const QLocale american(QLocale::English, QLocale::UnitedStates);
    QLocale::setDefault(american);
    pause->menu()->actions()[0]->trigger();
    QLocale::setDefault(before);
    EXPECT_EQ(pause->text(),
        u"Meldungen fortsetzen (pausiert bis %1)"_s.arg(
            american.toString(QDateTime::currentDateTime().addSecs(3600).time(), u"h:mm AP"_s)));
    prefs.store->setValue(QString::fromLatin1(NewsGate::pausedUntilKey),
        QDateTime::currentDateTimeUtc().addSecs(-1).toString(Qt::ISODate));
    EXPECT_FALSE(delegate.news()->isPaused());
    EXPECT_EQ(pause->text(), u"Meldungen pausieren"_s);
    const QDate day(2026, 12, 9);
    EXPECT_EQ(NewsGate::nextMorning(QDateTime(day, QTime(2, 0))), QDateTime(day, QTime(8, 0)));
    EXPECT_EQ(NewsGate::nextMorning(QDateTime(day, QTime(8, 0))), QDateTime(day.addDays(1), QTime(8, 0)));

    // Opening the GitLab account pane takes GitLab into use: its token is read, from then on at
    // every launch.
    Q_EMIT delegate.notch()->paneRequested(u"gitlabAccount"_s);
    EXPECT_EQ(delegate.settings()->window()->selection(), u"gitlabAccount"_s);
    EXPECT_EQ(secrets.reads, 2);
    app.reset();
    create().applicationDidFinishLaunching();
    EXPECT_EQ(secrets.reads, 4);
}

// A keyring that cannot be read at launch (locked, its service not up yet) is said as such, not as
// a missing token, and read again when the service appears; its token is then sent.
TEST_F(AppDelegateTest, AnUnreadableKeyringIsSaidAndReadAgainWhenItAppears)
{
    secrets.unavailable = true;
    AppDelegate &delegate = create();
    delegate.applicationDidFinishLaunching();
    // The launch does not wait for the keyring: until it answers, the GitHub parts say it is read.
    EXPECT_EQ(delegate.registry().module(u"github.actions"_s)->compactStatus().value().text,
        u"Token wird aus dem Schlüsselbund gelesen …"_s);
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return delegate.content()->statusLine().text == u"Schlüsselbund nicht verfügbar"_s; }, 5000));
    EXPECT_EQ(delegate.content()->rows().value(0).detail, u"Schlüsselbund nicht verfügbar"_s);
    // The row leads to the account pane, where the settings window opens when the overlay asks.
    Q_EMIT delegate.notch()->paneRequested(delegate.content()->rows().value(0).pane);
    EXPECT_EQ(delegate.settings()->window()->selection(), u"githubAccount"_s);

    secrets.unavailable = false;
    delegate.secretStoreAppeared();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !server.requests().isEmpty(); }, 10000));
    EXPECT_EQ(server.requests()[0].header("Authorization"), "Bearer " + token.toLatin1());
    EXPECT_NE(delegate.content()->statusLine().text, u"Schlüsselbund nicht verfügbar"_s);
}

// With an Enterprise Server in the preferences, the launch reads that server's token and the
// modules send it there alone; the stand-in for github.com hears only the anonymous update check,
// and pages open on the Enterprise Server only.
TEST_F(AppDelegateTest, AnEnterpriseServerInThePreferencesGetsItsOwnTokenAndPages)
{
    HttpsTestServer enterprise;
    ASSERT_TRUE(enterprise.start());
    const GitHubServer ghes = GitHubServer::fromAddress(enterprise.origin().toString()).value();
    ghes.store(*prefs.store);
    secrets.items.insert(ghes.tokenAccount(), u"ghp_enterprise"_s);
    AppDelegate &delegate = create();
    delegate.applicationDidFinishLaunching();
    EXPECT_EQ(secrets.reads, 1);
    // Switching a GitLab module on takes GitLab into use; switching it off does not.
    delegate.registry().setEnabled(false, u"gitlab.todos"_s);
    EXPECT_EQ(secrets.reads, 1);
    delegate.registry().setEnabled(true, u"gitlab.todos"_s);
    EXPECT_EQ(secrets.reads, 2);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !enterprise.requests().isEmpty(); }, 10000));
    EXPECT_TRUE(enterprise.requests()[0].target.startsWith("/api/v3/"));
    EXPECT_EQ(enterprise.requests()[0].header("Authorization"), "Bearer ghp_enterprise");
    const Integration &github = *delegate.integrations().front();
    EXPECT_TRUE(github.mayOpen(QUrl(enterprise.origin().toString() + u"/o/r/pull/1"_s)));
    EXPECT_FALSE(github.mayOpen(QUrl(u"https://github.com/o/r/pull/1"_s)));

    scheduler.advance(60); // the updater's first check
    ASSERT_TRUE(QTest::qWaitFor([&] { return !server.requests().isEmpty(); }, 10000));
    EXPECT_FALSE(std::ranges::any_of(server.requests(), [](const auto &r) { return r.hasHeader("Authorization"); }));
}

} // namespace

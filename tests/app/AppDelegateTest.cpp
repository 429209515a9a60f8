#include "HttpsTestServer.h"
#include "InMemorySecretStore.h"
#include "ManualScheduler.h"
#include "QtPrinters.h"
#include "RowModule.h"
#include "TempPreferences.h"

#include "app/AppDelegate.h"
#include "core/prefs/AppPreferences.h"
#include "notch/NotchController.h"
#include "notch/NotchModel.h"
#include "notch/NotchPanel.h"
#include "platform/DesktopServices.h"
#include "platform/headless/HeadlessDesktop.h"
#include "services/ProcessRunner.h"
#include "settings/SettingsView.h"
#include "settings/SettingsWindowController.h"
#include "updates/Updater.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QEventLoop>
#include <QLineEdit>
#include <QMenu>
#include <QNetworkAccessManager>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

// What the launch sequence had built when it asked for the status item.
struct LaunchSnapshot {
    bool notchPanelVisible = false;
    int modules = -1;
    bool settingsController = false;
};

class RecordingUpdater final : public Updater {
public:
    int *started;
    int *checks;
    RecordingUpdater(int &startCount, int &checkCount)
        : started(&startCount)
        , checks(&checkCount)
    { }
    void startUpdater() override { ++*started; }
    void checkForUpdates() override { ++*checks; }
    bool automaticallyChecksForUpdates() const override { return true; }
    void setAutomaticallyChecksForUpdates(bool) override { }
    bool canCheckForUpdates() const override { return true; }
};

// Docker's engine is never there in these tests.
class NoEngineRunner final : public ProcessRunner {
public:
    int runs = 0;
    void run(const QString &, const QStringList &, const Limits &, Done done) override
    {
        ++runs;
        QTimer::singleShot(0, [done] { done({ Result::Outcome::FailedToStart, 0, {}, QStringLiteral("absent") }); });
    }
};

// The desktop's secret store answers through a local event loop, which runs whatever is queued.
class WaitingSecretStore final : public SecretStore {
public:
    InMemorySecretStore stored;
    std::optional<QString> read(const QString &account) override
    {
        QCoreApplication::processEvents();
        return stored.read(account);
    }
    void save(const QString &text, const QString &account) override { stored.save(text, account); }
    void remove(const QString &account) override { stored.remove(account); }
};

// Counts the requests the program sends, wherever they go.
class CountingNetwork final : public QNetworkAccessManager {
public:
    int requests = 0;

protected:
    QNetworkReply *createRequest(Operation op, const QNetworkRequest &request, QIODevice *data) override
    {
        ++requests;
        return QNetworkAccessManager::createRequest(op, request, data);
    }
};

class AppDelegateTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(server.start());
        secrets.stored.items.insert(QStringLiteral("github.pat"), QStringLiteral("ghp_launchToken"));
    }

    std::unique_ptr<AppDelegate> makeDelegate(bool trayAvailable)
    {
        desktop = createHeadlessDesktopServices(HeadlessScreenProvider::plain(QRectF(0, 0, 1440, 900)));
        GitHubTransport::Endpoint endpoint;
        endpoint.apiRoot = server.origin();
        endpoint.extraTrustedCertificates = { HttpsTestServer::certificate() };
        desktop.makeStatusItem = [this, trayAvailable] {
            snapshot.notchPanelVisible = app->notch() && app->notch()->panel().isVisible();
            snapshot.modules = int(app->registry().modules().size());
            snapshot.settingsController = app->settings() != nullptr;
            auto item = std::make_unique<HeadlessStatusItem>(trayAvailable);
            statusItem = item.get();
            return item;
        };
        auto delegate = std::make_unique<AppDelegate>(AppServices { *prefs.store, scheduler, secrets, network,
            processes, desktop, std::make_unique<RecordingUpdater>(updaterStarts, updateChecks), endpoint,
            [this](const QString &line) { notices << line; } });
        app = delegate.get();
        return delegate;
    }

    QAction *entry(const QString &title) const
    {
        for (QAction *action : statusItem->menu()->actions())
            if (action->text() == title)
                return action;
        ADD_FAILURE() << "no menu entry " << title.toStdString();
        return nullptr;
    }

    HttpsTestServer server;
    TempPreferences prefs;
    ManualScheduler scheduler;
    WaitingSecretStore secrets;
    CountingNetwork network;
    NoEngineRunner processes;
    DesktopServices desktop;
    int updaterStarts = 0;
    int updateChecks = 0;
    QStringList notices;
    LaunchSnapshot snapshot;
    AppDelegate *app = nullptr;
    HeadlessStatusItem *statusItem = nullptr;
};

TEST_F(AppDelegateTest, LaunchesInOrderAndBuildsTheStatusMenu)
{
    auto delegate = makeDelegate(true);
    // Created with the delegate: the updater runs, nothing else exists yet.
    EXPECT_EQ(updaterStarts, 1);
    EXPECT_EQ(delegate->notch(), nullptr);
    EXPECT_EQ(delegate->settings(), nullptr);
    delegate->showSettings(); // nothing to show yet
    EXPECT_FALSE(prefs.store->value(AppPreferences::flashDuration).isValid());

    delegate->applicationDidFinishLaunching();
    EXPECT_EQ(prefs.store->doubleValue(AppPreferences::flashDuration), 3.5);
    // The overlay, the modules and the settings controller came before the status item.
    EXPECT_TRUE(snapshot.notchPanelVisible);
    EXPECT_EQ(snapshot.modules, 3);
    EXPECT_TRUE(snapshot.settingsController);

    QStringList ids;
    for (const DevModule *module : delegate->registry().modules())
        ids << module->id();
    EXPECT_EQ(ids,
        QStringList(
            { QStringLiteral("github.actions"), QStringLiteral("github.pullRequests"), QStringLiteral("docker") }));

    ASSERT_NE(statusItem, nullptr);
    EXPECT_EQ(statusItem->symbol(), QStringLiteral("rectangle.topthird.inset.filled"));
    EXPECT_EQ(statusItem->accessibleDescription(), QStringLiteral("Tarnlet"));
    EXPECT_TRUE(statusItem->isShown());
    ASSERT_NE(statusItem->menu(), nullptr);
    QStringList entries;
    for (const QAction *action : statusItem->menu()->actions())
        entries << (action->isSeparator()
                ? QStringLiteral("---")
                : action->text() + u'|' + action->shortcut().toString(QKeySequence::NativeText));
    EXPECT_EQ(entries,
        QStringList({ QStringLiteral("Test-Ereignis anzeigen|Ctrl+T"), QStringLiteral("Einstellungen …|Ctrl+,"),
            QStringLiteral("Nach Updates suchen …|"), QStringLiteral("---"), QStringLiteral("Beenden|Ctrl+Q") }));
    // The default asks for the settings window at launch; a tray is there, so nothing is said.
    ASSERT_NE(delegate->settings()->window(), nullptr);
    EXPECT_TRUE(delegate->settings()->window()->isVisible());
    EXPECT_TRUE(notices.isEmpty());

    // At exit the menu outlives the item that shows it.
    bool menuAlive = false;
    QObject::connect(statusItem, &QObject::destroyed,
        [&menuAlive, menu = QPointer(statusItem->menu())] { menuAlive = !menu.isNull(); });
    delegate.reset();
    EXPECT_TRUE(menuAlive);
}

TEST_F(AppDelegateTest, ModulesStartAfterTheLaunchWithTheTokenReadAtLaunch)
{
    prefs.store->setValue(QStringLiteral("disabledModuleIDs"), QStringList { QStringLiteral("docker") });
    auto delegate = makeDelegate(true);
    delegate->applicationDidFinishLaunching();
    // Nothing polled during the launch, although reading the token ran queued work.
    EXPECT_EQ(network.requests, 0);
    // One read for both clients: a locked keyring asks to be unlocked once per launch.
    EXPECT_EQ(secrets.stored.reads, 1);
    // A token stored now is not seen: each client keeps what it read at launch.
    secrets.stored.items.insert(QStringLiteral("github.pat"), QStringLiteral("ghp_later"));

    ASSERT_TRUE(QTest::qWaitFor([&] { return server.requests().size() >= 2; }, 10000));
    QStringList paths;
    for (const auto &request : server.requests()) {
        paths << QString::fromLatin1(request.path());
        EXPECT_EQ(request.header("Authorization"), "Bearer ghp_launchToken");
    }
    paths.sort();
    EXPECT_EQ(paths,
        QStringList({ QStringLiteral("/notifications"), QStringLiteral("/repos/teskarvo/Tarnlet/actions/runs") }));
    // Switched off: registered and listed, never started.
    EXPECT_EQ(delegate->registry().modules().size(), 3u);
    QTest::qWait(20);
    EXPECT_EQ(processes.runs, 0);
}

TEST_F(AppDelegateTest, TokenSavedInTheAccountPaneIsStoredAndSentWithTheNextRequest)
{
    auto delegate = makeDelegate(true);
    delegate->applicationDidFinishLaunching();
    SettingsView *window = delegate->settings()->window();
    ASSERT_NE(window, nullptr);
    window->setSelection(SettingsPane::GitHubAccount);
    QLineEdit *field = window->currentPane()->findChild<QLineEdit *>();
    ASSERT_NE(field, nullptr);
    field->setText(QStringLiteral(" ghp_saved "));
    QTest::keyClick(field, Qt::Key_Return);

    EXPECT_EQ(secrets.stored.items.value(QStringLiteral("github.pat")), QStringLiteral("ghp_saved"));
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            for (const auto &request : server.requests())
                if (request.header("Authorization") == "Bearer ghp_saved" && request.path() == "/user")
                    return true;
            return false;
        },
        10000));
}

TEST_F(AppDelegateTest, MenuEntriesDoWhatTheySay)
{
    prefs.store->setValue(AppPreferences::showSettingsOnLaunch, false);
    prefs.store->setValue(AppPreferences::autoExpandOnEvents, false);
    auto delegate = makeDelegate(true);
    delegate->applicationDidFinishLaunching();
    EXPECT_TRUE(delegate->settings()->window() == nullptr || !delegate->settings()->window()->isVisible());

    entry(QStringLiteral("Einstellungen …"))->trigger();
    SettingsView *window = delegate->settings()->window();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->isVisible());

    // Ctrl+T from the settings window: the test flash, which ignores the preference that keeps
    // module events quiet.
    QApplication::setActiveWindow(window);
    QTest::keyClick(window, Qt::Key_T, Qt::ControlModifier);
    const NotchModel &model = delegate->notch()->model();
    EXPECT_EQ(model.statusText(), QStringLiteral("Tests bestanden · main"));
    EXPECT_EQ(model.statusColor(), Color::green());
    EXPECT_TRUE(model.isExpanded());

    entry(QStringLiteral("Nach Updates suchen …"))->trigger();
    EXPECT_EQ(updateChecks, 1);

    QEventLoop loop;
    QTimer::singleShot(0, entry(QStringLiteral("Beenden")), &QAction::trigger);
    EXPECT_EQ(loop.exec(), 0);
}

TEST_F(AppDelegateTest, TheTrayIconCarriesTheStatusLine)
{
    auto delegate = makeDelegate(true);
    // Registered ahead of the set-up's modules, so its status leads the line.
    auto module = std::make_unique<RowModule>(QStringLiteral("ci"));
    RowModule &ci = *module;
    delegate->registry().registerModule(std::move(module));
    ci.setStatus(ModuleStatus { QStringLiteral("CI · main"), Color::orange() });
    delegate->applicationDidFinishLaunching();
    EXPECT_EQ(statusItem->toolTip(), QStringLiteral("CI · main"));
    EXPECT_EQ(statusItem->attention(), StatusItem::Attention::Active);

    ci.setStatus(ModuleStatus { QStringLiteral("CI · main"), Color::red() });
    QCoreApplication::processEvents();
    EXPECT_EQ(statusItem->attention(), StatusItem::Attention::Failure);
    // A flash shows in the tooltip for its time; the dot keeps saying what the modules say.
    delegate->showTestEvent();
    EXPECT_EQ(statusItem->toolTip(), QStringLiteral("Tests bestanden · main"));
    EXPECT_EQ(statusItem->attention(), StatusItem::Attention::Failure);
    scheduler.advance(3.5);
    EXPECT_EQ(statusItem->toolTip(), QStringLiteral("CI · main"));

    ci.setStatus(ModuleStatus { QStringLiteral("CI · main"), Color::green() });
    QCoreApplication::processEvents();
    EXPECT_EQ(statusItem->attention(), StatusItem::Attention::None);
}

TEST_F(AppDelegateTest, WithoutATrayTheSettingsWindowOffersTheMenuUntilOneTurnsUp)
{
    prefs.store->setValue(AppPreferences::showSettingsOnLaunch, false);
    auto delegate = makeDelegate(false);
    delegate->applicationDidFinishLaunching();
    const auto window = [&] { return delegate->settings()->window(); };
    const auto offered = [&] {
        QStringList buttons;
        if (window())
            for (const QAbstractButton *button : window()->findChildren<QAbstractButton *>())
                if (button->text() == u"Test-Ereignis anzeigen" || button->text() == u"Nach Updates suchen …"
                    || button->text() == u"Beenden" || button->text() == u"Einstellungen …")
                    buttons << button->text();
        return buttons;
    };
    const QStringList commands { QStringLiteral("Test-Ereignis anzeigen"), QStringLiteral("Nach Updates suchen …"),
        QStringLiteral("Beenden") };
    EXPECT_TRUE(statusItem->isShown()); // appears by itself once a tray turns up

    // A moment's grace for a tray host starting at the same time.
    scheduler.advance(1.9);
    EXPECT_TRUE(window() == nullptr && notices.isEmpty());
    scheduler.advance(0.1);
    EXPECT_EQ(notices.size(), 1);
    ASSERT_NE(window(), nullptr);
    EXPECT_TRUE(window()->isVisible());
    EXPECT_EQ(offered(), commands);

    // A tray turns up: the commands leave the window; it goes again: they come back and the window opens.
    statusItem->setAvailable(true);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(offered().isEmpty());
    window()->close();
    statusItem->setAvailable(false);
    EXPECT_EQ(offered(), commands);
    EXPECT_TRUE(window()->isVisible());
    EXPECT_EQ(notices.size(), 1);
}

TEST_F(AppDelegateTest, ATrayTurningUpDuringTheLaunchWaitKeepsTheWindowClosed)
{
    prefs.store->setValue(AppPreferences::showSettingsOnLaunch, false);
    auto delegate = makeDelegate(false);
    delegate->applicationDidFinishLaunching();
    scheduler.advance(1);
    statusItem->setAvailable(true);
    scheduler.advance(5);
    EXPECT_EQ(delegate->settings()->window(), nullptr);
    EXPECT_TRUE(notices.isEmpty());
}

} // namespace

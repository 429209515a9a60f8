// The desktop's notifications through a stand-in notification service on a private session bus:
// the switch in "Benachrichtigungen" follows the service, the gate's news goes out while the switch
// is on and the desktop is not in Do Not Disturb (the service's Inhibited, GNOME's banner switch in
// a keyfile of GNOME's settings store), a click opens the page, and a newer item about a page
// replaces the earlier notification.
#include "QtPrinters.h"
#include "RowModule.h"
#include "TempPreferences.h"
#include "UrlSink.h"

#include "GitHubPages.h"
#include "app/DesktopHooks.h"
#include "app/DesktopNews.h"
#include "core/EventBus.h"
#include "core/ModuleRegistry.h"
#include "core/NewsGate.h"
#include "core/prefs/AppPreferences.h"
#include "platform/freedesktop/DesktopDoNotDisturb.h"
#include "platform/freedesktop/FreedesktopNotifier.h"
#include "settings/NotificationsSettingsPane.h"
#include "widgets/ToggleSwitch.h"

#include "ManualScheduler.h"

#include <QDBusConnection>
#include <QDBusContext>
#include <QDBusMessage>
#include <QLabel>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace {

using namespace Qt::StringLiterals;

const QString serviceName = u"org.freedesktop.Notifications"_s;

// The service's side: it says what it can (or fails to, or keeps the caller waiting), records each
// Notify and answers with its id.
class FakeNotifications final : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
    Q_PROPERTY(bool Inhibited READ isInhibited)
public:
    struct Call {
        QString app;
        uint replaces;
        QString icon;
        QString summary;
        QString body;
        QStringList actions;
        uint id;
        int urgency;
    };
    QList<Call> calls;
    QStringList capabilities;
    enum class Answer { Now, Error, Later } answer = Answer::Now;
    QList<QDBusMessage> unanswered;
    bool inhibited = false;

    bool isInhibited() const { return inhibited; }
    // Changes the property and announces it, as such a service does.
    void setInhibited(QDBusConnection &bus, bool on)
    {
        inhibited = on;
        QDBusMessage changed = QDBusMessage::createSignal(
            u"/org/freedesktop/Notifications"_s, u"org.freedesktop.DBus.Properties"_s, u"PropertiesChanged"_s);
        changed << serviceName << QVariantMap { { u"Inhibited"_s, on } } << QStringList();
        bus.send(changed);
    }

public Q_SLOTS:
    QStringList GetCapabilities()
    {
        if (answer == Answer::Error)
            sendErrorReply(QDBusError::Failed, u"not now"_s);
        if (answer == Answer::Later) {
            setDelayedReply(true);
            unanswered << message();
        }
        return capabilities;
    }
    uint Notify(const QString &app, uint replaces, const QString &icon, const QString &summary, const QString &body,
        const QStringList &actions, const QVariantMap &hints, int)
    {
        calls << Call { app, replaces, icon, summary, body, actions, replaces ? replaces : uint(calls.size() + 1),
            hints.value(u"urgency"_s).toInt() };
        return calls.last().id;
    }

Q_SIGNALS:
    void ActionInvoked(uint id, const QString &action);
    void NotificationClosed(uint id, uint reason);
};

TEST(DesktopNotifications, FollowTheServiceTheSwitchAndTheGate)
{
    TempPreferences temp;
    PreferenceStore &prefs = *temp.store;
    AppPreferences::registerDefaults(prefs);
    ManualScheduler scheduler;
    EventBus bus;
    ModuleRegistry registry(prefs);
    auto module = std::make_unique<RowModule>(u"github.actions"_s);
    module->titleText = u"GitHub Actions"_s;
    module->kinds = { { u"github.reviewOrComment"_s, u"Reviews"_s } };
    registry.registerModule(std::move(module));
    NewsGate gate(bus, registry, prefs, scheduler);
    FreedesktopNotifier notifier(u"Tarnlet"_s, u"tarnlet"_s);
    const LinkGate links = gitHubPages();
    DesktopNews news(gate, registry, prefs, notifier, links);
    UrlSink urls;

    // GNOME's settings store in a file of the test's own.
    QTemporaryDir settingsHome;
    qputenv("XDG_CONFIG_HOME", settingsHome.path().toUtf8());
    qputenv("GSETTINGS_BACKEND", "keyfile");
    DesktopDoNotDisturb doNotDisturb;
    DesktopHooks::followDoNotDisturb(doNotDisturb, gate);

    NotificationsSettingsPane pane(prefs, registry, notifier, doNotDisturb);
    ToggleSwitch *desktopSwitch = nullptr;
    ToggleSwitch *quietSwitch = nullptr;
    for (ToggleSwitch *candidate : pane.findChildren<ToggleSwitch *>()) {
        if (candidate->accessibleName() == u"Auch als Systembenachrichtigung"_s)
            desktopSwitch = candidate;
        if (candidate->accessibleName() == u"Nicht stören des Systems folgen"_s)
            quietSwitch = candidate;
    }
    ASSERT_TRUE(desktopSwitch && quietSwitch);
    EXPECT_TRUE(quietSwitch->isChecked() && quietSwitch->isEnabled()) << "GNOME's store tells it";
    const auto noteShown = [&pane] {
        return std::ranges::any_of(pane.findChildren<QLabel *>(), [&pane](const QLabel *label) {
            return label->text() == u"Kein Benachrichtigungsdienst auf dem Sitzungsbus."_s && label->isVisibleTo(&pane);
        });
    };
    EXPECT_FALSE(desktopSwitch->isChecked()) << "off by default";
    EXPECT_FALSE(desktopSwitch->isEnabled()) << "no service on the bus";
    EXPECT_TRUE(noteShown());

    // The service lives on a connection of its own, as it would in another process.
    QDBusConnection serviceBus = QDBusConnection::connectToBus(QDBusConnection::SessionBus, u"service"_s);
    FakeNotifications service;
    service.capabilities = QStringList { u"actions"_s, u"body-markup"_s };
    ASSERT_TRUE(serviceBus.registerObject(u"/org/freedesktop/Notifications"_s, &service,
        QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllSignals | QDBusConnection::ExportAllProperties));
    QSignalSpy availability(&notifier, &DesktopNotifier::availabilityChanged);
    ASSERT_TRUE(serviceBus.registerService(serviceName));
    ASSERT_TRUE(availability.wait(5000)) << "a service turned up";
    EXPECT_TRUE(desktopSwitch->isEnabled());
    EXPECT_FALSE(noteShown());

    // Nothing goes out while the switch is off, news is paused or its kind is switched off; the
    // overlay's own switch does not matter. The service's first call would show any of them.
    const QUrl pullRequest(u"https://github.com/o/r/pull/7"_s);
    const auto review = [&](const QString &text) {
        bus.publish(ModuleEvent {
            u"github.actions"_s, text, ModuleStatus::Severity::Notice, u"github.reviewOrComment"_s, pullRequest });
    };
    review(u"switched off"_s);
    desktopSwitch->click();
    gate.pauseUntilResumed();
    review(u"paused"_s);
    gate.resume();
    // The service's Do Not Disturb pauses news, which is still recorded, until it ends; with the
    // switch off it pauses nothing.
    service.setInhibited(serviceBus, true);
    ASSERT_TRUE(QTest::qWaitFor([&] { return gate.isQuietForDesktop(); }, 5000));
    review(u"do not disturb"_s);
    EXPECT_EQ(gate.history().entries().constFirst().event.text, u"do not disturb"_s);
    quietSwitch->click();
    EXPECT_FALSE(gate.isPaused());
    quietSwitch->click();
    service.setInhibited(serviceBus, false);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !gate.isPaused(); }, 5000));
    // GNOME's Do Not Disturb switches its banners off.
    const auto banners = [](const QString &shown) {
        return QProcess::execute(
            u"gsettings"_s, { u"set"_s, u"org.gnome.desktop.notifications"_s, u"show-banners"_s, shown });
    };
    ASSERT_EQ(banners(u"false"_s), 0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return gate.isQuietForDesktop(); }, 5000));
    ASSERT_EQ(banners(u"true"_s), 0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !gate.isPaused(); }, 5000));
    prefs.setValue(AppPreferences::interruptKey(u"github.reviewOrComment"_s), false);
    review(u"kind off"_s);
    prefs.setValue(AppPreferences::interruptKey(u"github.reviewOrComment"_s), true);
    prefs.setValue(AppPreferences::autoExpandOnEvents, false);
    review(u"<b>mallory</b> & co"_s);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !service.calls.isEmpty(); }, 5000));
    ASSERT_EQ(service.calls.size(), 1);
    const FakeNotifications::Call first = service.calls[0];
    // Plain text where the service reads markup.
    EXPECT_EQ(QStringList({ first.app, first.icon, first.summary, first.body }),
        QStringList({ u"Tarnlet"_s, u"tarnlet"_s, u"GitHub Actions"_s, u"&lt;b&gt;mallory&lt;/b&gt; &amp; co"_s }));
    EXPECT_TRUE(first.replaces == 0 && first.actions.contains(u"default"_s));
    EXPECT_EQ(first.urgency, 1) << "news to read is of normal urgency";

    // Another page gets a notification of its own; the same page's next news replaces its first.
    const QUrl run(u"https://github.com/o/r/actions/runs/9"_s);
    bus.publish(ModuleEvent {
        u"github.actions"_s, u"CI fehlgeschlagen"_s, ModuleStatus::Severity::Failing, u"github.runFailed"_s, run });
    ASSERT_TRUE(QTest::qWaitFor([&] { return service.calls.size() == 2; }, 5000));
    EXPECT_EQ(service.calls[1].replaces, 0u);
    EXPECT_EQ(service.calls[1].urgency, 2) << "a failure is critical";
    review(u"second"_s);
    ASSERT_TRUE(QTest::qWaitFor([&] { return service.calls.size() == 3; }, 5000));
    EXPECT_EQ(service.calls[2].replaces, first.id);

    // A click opens the page through the gate to GitHub's pages; once the service says a
    // notification closed, the page's next news is a new one. (Signals of one sender arrive in
    // order, so the second click is seen after the closing.)
    Q_EMIT service.ActionInvoked(first.id, u"default"_s);
    ASSERT_TRUE(QTest::qWaitFor([&] { return urls.opened.size() == 1; }, 5000));
    Q_EMIT service.NotificationClosed(first.id, 2);
    Q_EMIT service.ActionInvoked(service.calls[1].id, u"default"_s);
    ASSERT_TRUE(QTest::qWaitFor([&] { return urls.opened.size() == 2; }, 5000));
    EXPECT_EQ(urls.opened, (QList<QUrl> { pullRequest, run }));
    review(u"third"_s);
    ASSERT_TRUE(QTest::qWaitFor([&] { return service.calls.size() == 4; }, 5000));
    EXPECT_EQ(service.calls[3].replaces, 0u);

    // The service goes, and the switch with it; one that reads no markup gets the text as it is.
    serviceBus.unregisterService(serviceName);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !desktopSwitch->isEnabled(); }, 5000));
    EXPECT_TRUE(noteShown());
    service.capabilities.clear();
    ASSERT_TRUE(serviceBus.registerService(serviceName));
    ASSERT_TRUE(QTest::qWaitFor([&] { return desktopSwitch->isEnabled(); }, 5000));
    review(u"<b>x</b> & y"_s);
    ASSERT_TRUE(QTest::qWaitFor([&] { return service.calls.size() == 5; }, 5000));
    EXPECT_EQ(service.calls[4].body, u"<b>x</b> & y"_s);

    // While the capabilities are unknown the body is escaped: the query failed, or its answer
    // came from the service before an owner change.
    const auto restart = [&] {
        serviceBus.unregisterService(serviceName);
        ASSERT_TRUE(QTest::qWaitFor([&] { return !desktopSwitch->isEnabled(); }, 5000));
        ASSERT_TRUE(serviceBus.registerService(serviceName));
        ASSERT_TRUE(QTest::qWaitFor([&] { return desktopSwitch->isEnabled(); }, 5000));
    };
    restart();
    service.answer = FakeNotifications::Answer::Error;
    review(u"<b>x</b> & y"_s);
    ASSERT_TRUE(QTest::qWaitFor([&] { return service.calls.size() == 6; }, 5000));
    EXPECT_EQ(service.calls[5].body, u"&lt;b&gt;x&lt;/b&gt; &amp; y"_s);
    restart();
    service.answer = FakeNotifications::Answer::Later;
    review(u"<b>x</b> & y"_s);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !service.unanswered.isEmpty(); }, 5000));
    restart();
    service.answer = FakeNotifications::Answer::Now;
    service.capabilities = QStringList { u"body-markup"_s };
    serviceBus.send(service.unanswered.takeFirst().createReply(QVariant(QStringList())));
    ASSERT_TRUE(QTest::qWaitFor([&] { return service.calls.size() == 7; }, 5000));
    EXPECT_EQ(service.calls[6].body, u"&lt;b&gt;x&lt;/b&gt; &amp; y"_s);
    QDBusConnection::disconnectFromBus(u"service"_s);
}

} // namespace

#include "DesktopNotificationsTest.moc"

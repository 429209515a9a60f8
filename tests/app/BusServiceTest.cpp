// The program on a private session bus of the test's own, with the real `tarnlet` program as the
// second launch: its interface introspected, the commands moving the overlay, the settings window
// and the pause, and the status stream following a module that changes.
#include "AppFixture.h"
#include "QtPrinters.h"
#include "RowModule.h"

#include "app/BusService.h"
#include "core/NewsGate.h"
#include "notch/NotchController.h"
#include "notch/NotchModel.h"
#include "settings/SettingsView.h"
#include "settings/SettingsWindowController.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

namespace {

using namespace Qt::StringLiterals;

struct Finished {
    int code = -1;
    QByteArray out;
    QByteArray err;
};

class BusServiceTest : public AppFixture {
protected:
    void SetUp() override
    {
        AppFixture::SetUp();
        prefs.store->setValue(QString::fromLatin1(ModuleRegistry::disabledModuleIDsKey),
            QStringList { u"docker"_s, u"github.actions"_s, u"github.pullRequests"_s });
        daemon.start(
            u"dbus-daemon"_s, { u"--config-file=" TARNLET_BUS_CONFIG ""_s, u"--nofork"_s, u"--print-address=1"_s });
        ASSERT_TRUE(daemon.waitForReadyRead(10000));
        address = QString::fromUtf8(daemon.readLine().trimmed());
        environment.insert(u"DBUS_SESSION_BUS_ADDRESS"_s, address);
        environment.insert(u"XDG_CONFIG_HOME"_s, config.path());
        environment.insert(u"LC_ALL"_s, u"C.UTF-8"_s);
        environment.remove(u"LANGUAGE"_s);
    }

    void TearDown() override
    {
        if (daemon.state() != QProcess::NotRunning) {
            daemon.terminate(); // its pid, SIGTERM
            daemon.waitForFinished(5000);
        }
    }

    QProcess *launch(const QStringList &arguments)
    {
        auto *process = new QProcess(launches.get());
        process->setProcessEnvironment(environment);
        process->start(QStringLiteral(TARNLET_PROGRAM), arguments);
        return process;
    }

    // Runs a second launch to its end while the event loop serves its calls.
    Finished run(const QStringList &arguments)
    {
        QProcess *process = launch(arguments);
        QSignalSpy finished(process, &QProcess::finished);
        EXPECT_TRUE(finished.wait(20000)) << arguments.join(u' ').toStdString();
        return { process->exitCode(), process->readAllStandardOutput(), process->readAllStandardError() };
    }

    QDBusConnection busConnection(const QString &name) { return QDBusConnection::connectToBus(address, name); }

    QProcess daemon;
    QString address;
    QTemporaryDir config;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    std::unique_ptr<QObject> launches = std::make_unique<QObject>(); // their parent
};

QJsonObject objectOf(const QByteArray &line)
{
    return QJsonDocument::fromJson(line).object();
}

TEST_F(BusServiceTest, CommandsAndStatusReachTheRunningProgram)
{
    const Finished none = run({ u"--toggle"_s });
    EXPECT_EQ(none.code, 1);
    EXPECT_EQ(none.err, "Tarnlet läuft nicht.\n");
    EXPECT_TRUE(none.out.isEmpty());
    EXPECT_EQ(run({ u"--status"_s }).code, 1);

    AppDelegate &delegate = create();
    auto module = std::make_unique<RowModule>(u"ci"_s);
    RowModule &ci = *module;
    delegate.registry().registerModule(std::move(module));
    ci.setStatus(ModuleStatus { u"CI · main"_s, ModuleStatus::Severity::Active }, ModuleCounts { 0, 2, 0, 0, 0 });
    delegate.applicationDidFinishLaunching();
    auto service = std::make_unique<BusService>(delegate, busConnection(u"first"_s));
    ASSERT_TRUE(service->publish());
    BusService other(delegate, busConnection(u"second"_s));
    EXPECT_FALSE(other.publish()) << "the name is the first program's";

    QDBusMessage introspect = QDBusMessage::createMethodCall(QString::fromLatin1(BusService::serviceName),
        QString::fromLatin1(BusService::objectPath), u"org.freedesktop.DBus.Introspectable"_s, u"Introspect"_s);
    // Asked without blocking: the service answers on this same thread.
    const QDBusPendingCall pending = busConnection(u"second"_s).asyncCall(introspect);
    ASSERT_TRUE(QTest::qWaitFor([&] { return pending.isFinished(); }, 20000));
    const QDBusMessage xml = pending.reply();
    ASSERT_EQ(xml.type(), QDBusMessage::ReplyMessage) << xml.errorMessage().toStdString();
    const QString description = xml.arguments().value(0).toString();
    for (const QString &part : { u"<interface name=\"com.tarnlet.Tarnlet\">"_s, u"<method name=\"Toggle\""_s,
             u"<arg name=\"pane\" type=\"s\" direction=\"in\"/>"_s,
             u"<property name=\"ActiveRuns\" type=\"i\" access=\"read\"/>"_s })
        EXPECT_TRUE(description.contains(part)) << part.toStdString();
    EXPECT_FALSE(description.contains(u"objectName"_s));

    const NotchModel &overlay = delegate.notch()->model();
    EXPECT_EQ(run({ u"--pin"_s }).code, 0);
    EXPECT_TRUE(overlay.isExpanded() && overlay.isPinned());
    EXPECT_EQ(run({ u"--toggle"_s }).code, 0);
    EXPECT_FALSE(overlay.isExpanded() || overlay.isPinned());
    EXPECT_EQ(run({ u"--toggle"_s }).code, 0);
    EXPECT_TRUE(overlay.isExpanded() && overlay.isPinned());

    EXPECT_EQ(run({ u"--settings"_s, u"notch"_s }).code, 0);
    ASSERT_TRUE(delegate.settings()->window());
    EXPECT_TRUE(delegate.settings()->window()->isVisible());
    EXPECT_EQ(delegate.settings()->window()->selection(), u"notch"_s);
    const Finished nowhere = run({ u"--settings"_s, u"nowhere"_s });
    EXPECT_EQ(nowhere.code, 1);
    EXPECT_TRUE(nowhere.err.contains("nowhere") && nowhere.err.count('\n') == 1) << nowhere.err.toStdString();

    NewsGate &news = *delegate.news();
    EXPECT_EQ(run({ u"--pause"_s, u"1h"_s }).code, 0);
    ASSERT_TRUE(news.pauseEnd());
    EXPECT_NEAR(double(QDateTime::currentDateTime().secsTo(*news.pauseEnd())), 3600, 60);
    EXPECT_EQ(run({ u"--pause"_s, u"resume"_s }).code, 0);
    EXPECT_FALSE(news.isPaused());
    EXPECT_EQ(run({ u"--pause"_s, u"sometimes"_s }).code, 1);
    EXPECT_EQ(run({ u"--pause"_s, u"morning"_s }).code, 0);
    EXPECT_EQ(news.pauseEnd(), NewsGate::nextMorning(QDateTime::currentDateTime()));
    EXPECT_EQ(run({ u"--pause"_s, u"indefinitely"_s }).code, 0);
    EXPECT_TRUE(news.isPaused() && !news.pauseEnd());

    const Finished once = run({ u"--status"_s, u"--json"_s });
    ASSERT_EQ(once.code, 0) << once.err.toStdString();
    const QJsonObject status = objectOf(once.out);
    EXPECT_EQ(status[u"text"_s], u"CI · main"_s);
    EXPECT_EQ(status[u"tooltip"_s], u"CI · main · Meldungen pausiert"_s);
    EXPECT_EQ(status[u"class"_s], u"active"_s);
    EXPECT_EQ(status[u"active_runs"_s], 2);
    EXPECT_EQ(status[u"failed_runs"_s], 0);
    EXPECT_EQ(status[u"paused"_s], true);
    EXPECT_EQ(run({ u"--status"_s }).out, "CI · main\n");

    // The stream: one line at once, one per change of what it shows, none for a change it does not
    // show (the rows), and the program's end and return.
    QProcess *follow = launch({ u"--status"_s, u"--json"_s, u"--follow"_s });
    QList<QJsonObject> lines;
    const auto nextLine = [&] {
        const bool arrived = QTest::qWaitFor([&] { return follow->canReadLine(); }, 20000);
        lines.append(arrived ? objectOf(follow->readLine()) : QJsonObject());
        return arrived;
    };
    ASSERT_TRUE(nextLine());
    EXPECT_EQ(lines.last(), status);
    ci.setRows({ ModuleRow { u"build"_s, u"main"_s, std::nullopt, ModuleStatus::Severity::Fine, QUrl() } });
    ci.setStatus(
        ModuleStatus { u"CI fehlgeschlagen"_s, ModuleStatus::Severity::Failing }, ModuleCounts { 1, 0, 0, 0, 0 });
    ASSERT_TRUE(nextLine());
    EXPECT_EQ(lines.last()[u"class"_s], u"failing"_s);
    EXPECT_EQ(lines.last()[u"failed_runs"_s], 1);
    EXPECT_EQ(lines.last()[u"active_runs"_s], 0);
    news.resume();
    ASSERT_TRUE(nextLine());
    EXPECT_EQ(lines.last()[u"paused"_s], false);
    service.reset();
    ASSERT_TRUE(nextLine());
    EXPECT_EQ(lines.last()[u"class"_s], u"stopped"_s);
    service = std::make_unique<BusService>(delegate, busConnection(u"first"_s));
    ASSERT_TRUE(service->publish());
    ASSERT_TRUE(nextLine());
    EXPECT_EQ(lines.last()[u"text"_s], u"CI fehlgeschlagen"_s);
    follow->terminate(); // its pid
    EXPECT_TRUE(follow->waitForFinished(5000));
    EXPECT_EQ(lines.size(), 5);
}

} // namespace

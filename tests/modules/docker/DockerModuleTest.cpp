// The Docker module over a scripted engine: when it reads the list (the event stream, the
// 15-second fallback and its back-off), what it makes of each answer, which answer wins, the
// flashes, the commands for containers and Compose projects, and the log.
#include "ManualScheduler.h"
#include "QtPrinters.h"
#include "TempPreferences.h"

#include "integrations/docker/DockerContexts.h"

#include "modules/docker/DockerModule.h"

#include <gtest/gtest.h>

namespace {

using Command = ContainerSource::Command;
using namespace Qt::StringLiterals;

// Keeps each request until the test answers it.
struct FakeContainerSource final : ContainerSource {
    QList<Done> lists;
    QList<std::pair<QString, CommandDone>> commands; // "<id> start", "<id> stop", "<id> restart"
    QList<std::pair<QString, std::function<void(const LogResult &)>>> logs;
    struct Stream {
        EventSeen seen;
        std::function<void()> ended;
        CancelHandle handle;
    };
    QList<Stream> streams;

    void listContainers(Done done) override { lists.append(std::move(done)); }
    CancelHandle watchEvents(EventSeen seen, std::function<void()> ended) override
    {
        streams.append({ std::move(seen), std::move(ended), CancelHandle::create() });
        return streams.last().handle;
    }
    void send(const QString &id, Command command, CommandDone done) override
    {
        const char *const words[] = { " start", " stop", " restart" };
        commands.append({ id + QString::fromLatin1(words[int(command)]), std::move(done) });
    }
    void readLogs(const QString &id, std::function<void(const LogResult &)> done) override
    {
        logs.append({ id, std::move(done) });
    }
    std::optional<Engine> engine() const override
    {
        return Engine { QStringLiteral("Podman"), QStringLiteral("/run/user/1000/podman/podman.sock") };
    }

    bool streaming() const { return !streams.isEmpty() && streams.last().handle.isPending(); }
    void event(const char *action, const char *name, std::optional<int> exitCode = std::nullopt)
    {
        const QString id = QString::fromLatin1(name) + QStringLiteral("-id");
        streams.last().seen(DockerEvent { QString::fromLatin1(action), id, QString::fromLatin1(name), exitCode });
    }
    void endStream()
    {
        if (streams.last().handle.finish())
            streams.last().ended();
    }
};

DockerContainer container(const char *name, const char *state, const char *project = "")
{
    const QString id = QString::fromLatin1(name) + QStringLiteral("-id");
    return { id, { u'/' + QString::fromLatin1(name) }, QStringLiteral("busybox"), QString::fromLatin1(state), {},
        QString::fromLatin1(project) };
}

struct ModuleTest : ::testing::Test {
    ManualScheduler scheduler;
    EventBus bus;
    QStringList flashes;
    QStringList recorded; // news only for the history
    std::unique_ptr<FakeContainerSource> source = std::make_unique<FakeContainerSource>();
    FakeContainerSource &engine = *source;
    std::unique_ptr<DockerModule> module = std::make_unique<DockerModule>(scheduler, bus, std::move(source));

    ModuleTest()
    {
        bus.subscribe([this](const ModuleEvent &event) {
            EXPECT_EQ(event.severity, ModuleStatus::Severity::Failing);
            EXPECT_EQ(event.kind, DockerModule::unexpectedExit);
            (event.recordOnly ? recorded : flashes) << event.text;
        });
    }

    // Reads the list once, with `result` as the engine's answer.
    void poll(const ContainerSource::Result &result)
    {
        module->refresh();
        engine.lists.takeLast()(result);
    }
    const ModuleDetail *detail(const QString &title) const
    {
        static QList<ModuleDetail> details;
        details = module->details();
        const auto found
            = std::find_if(details.cbegin(), details.cend(), [&](const auto &d) { return d.row.title == title; });
        return found == details.cend() ? nullptr : &*found;
    }
};

TEST_F(ModuleTest, EventsDriveTheReadsAndTheFifteenSecondListStandsInWhileTheStreamIsDown)
{
    module->start();
    module->start();
    EXPECT_EQ(engine.streams.size(), 2);
    EXPECT_FALSE(engine.streams[0].handle.isPending()) << "a restart ends the older stream";
    DockerContainerList list { container("a", "running"), container("b", "exited"), container("c", "running"),
        container("d", "running"), container("e", "running") };
    engine.lists.takeLast()(list);
    engine.lists.takeLast()(DockerError::requestFailed(7)); // the older read's answer, arriving later
    EXPECT_EQ(module->overlayRows().at(0).detail, QStringLiteral("a, c, d"));
    EXPECT_EQ(scheduler.pendingCount(), 0) << "nothing runs while nothing happens";

    // Events arriving together cause one read; one during that read, one more after it.
    engine.event("start", "b");
    engine.event("start", "f");
    scheduler.advance(DockerWatch::settleSeconds);
    engine.event("create", "g");
    scheduler.advance(DockerWatch::settleSeconds);
    ASSERT_EQ(engine.lists.size(), 1);
    engine.lists.takeLast()(list);
    scheduler.advance(DockerWatch::settleSeconds);
    ASSERT_EQ(engine.lists.size(), 1);
    engine.lists.takeLast()(list);

    // The stream ends: the list at once and every 15 s, the stream again after a minute.
    engine.endStream();
    ASSERT_EQ(engine.lists.size(), 1);
    engine.lists.takeLast()(DockerError::timedOut());
    EXPECT_EQ(module->containers(), list);
    EXPECT_EQ(module->overlayRows().at(0).title, QStringLiteral("Docker antwortet nicht."));
    EXPECT_EQ(module->overlayRows().at(0).pane, QString()) << "nothing the user can mend";
    scheduler.advance(DockerModule::pollInterval);
    ASSERT_EQ(engine.lists.size(), 1);
    engine.lists.takeLast()(DockerError::socketNotFound());
    EXPECT_EQ(module->errorText(), QStringLiteral("Docker ist nicht installiert oder nicht gestartet."));
    EXPECT_EQ(module->overlayRows().at(0).pane, module->id()) << "its own pane";
    scheduler.advance(DockerModule::pollInterval);
    engine.lists.takeLast()(list);
    ASSERT_EQ(engine.streams.size(), 3) << "an engine answering again gets the stream back at once";
    engine.lists.takeLast()(list);
    engine.endStream(); // an engine without events: the next try waits longer each time
    engine.lists.takeLast()(list);
    scheduler.advance(PollLoop::backOff(1) - 1);
    EXPECT_EQ(engine.streams.size(), 3);
    scheduler.advance(1);
    EXPECT_EQ(engine.streams.size(), 4);
    engine.endStream();
    scheduler.advance(PollLoop::backOff(2));
    EXPECT_EQ(engine.streams.size(), 5);
    for (int round = 0; round < 2; ++round) { // the stream's first read waited for the one before
        for (const auto &answer : std::exchange(engine.lists, {}))
            answer(list);
        scheduler.advance(DockerWatch::settleSeconds);
    }
    scheduler.advance(10 * DockerModule::pollInterval);
    EXPECT_TRUE(engine.lists.isEmpty()) << "the 15-second reads end with the stream back";

    module->stop();
    EXPECT_FALSE(engine.streaming());
    EXPECT_EQ(scheduler.pendingCount(), 0);
}

TEST_F(ModuleTest, AContainerEndingBadlyFlashesOnceUnlessItsStopWasAskedFor)
{
    module->start();
    engine.lists.takeLast()(DockerContainerList { container("web", "running"), container("db", "running") });
    engine.event("die", "web", 137);
    engine.event("start", "web");
    engine.event("die", "web", 0); // a clean exit
    engine.event("kill", "web"); // docker stop or kill, from anywhere
    engine.event("die", "web", 143);
    engine.event("start", "db");
    engine.event("oom", "db");
    engine.event("die", "db", 137);
    engine.event("health_status: unhealthy", "db");
    engine.event("health_status: unhealthy", "db"); // Podman tells the health at every check
    engine.event("health_status: healthy", "db");
    engine.event("health_status: unhealthy", "db");
    scheduler.advance(DockerWatch::settleSeconds);
    engine.lists.takeLast()(DockerContainerList { container("web", "running"), container("db", "running") });
    engine.event("health_status: unhealthy", "db");
    scheduler.advance(DockerWatch::settleSeconds);
    EXPECT_TRUE(engine.lists.isEmpty()) << "an event that changes nothing reads nothing";
    module->send({ QStringLiteral("web-id") }, Command::Stop);
    engine.event("die", "web", 137); // an engine that sends no kill event
    EXPECT_EQ(flashes,
        (QStringList { QStringLiteral("web beendet (Code 137)"), QStringLiteral("db ohne Speicher beendet"),
            QStringLiteral("db ist nicht mehr gesund"), QStringLiteral("db ist nicht mehr gesund") }));

    // A crash loop: told at its first end, then only recorded while each end comes within ten
    // minutes of the last; its lines say so until it stays up ten minutes.
    flashes.clear();
    const auto loopLine = [&] { return detail(QStringLiteral("db"))->row.detail; };
    for (int end = 0; end < 4; ++end) {
        engine.event("start", "db");
        scheduler.advance(end == 0 ? 3600 : 170);
        engine.event("die", "db", 1);
    }
    EXPECT_EQ(flashes, QStringList { QStringLiteral("db beendet (Code 1)") });
    EXPECT_EQ(recorded.size(), 3);
    EXPECT_EQ(loopLine(), QStringLiteral("busybox \u00B7 startet immer wieder neu (4× in 10 Min.)"));
    EXPECT_EQ(module->overlayRows().at(1).detail, QStringLiteral("startet immer wieder neu (4× in 10 Min.)"));
    scheduler.advance(DockerNews::loopSeconds - 1);
    EXPECT_EQ(loopLine(), QStringLiteral("busybox \u00B7 startet immer wieder neu (4× in 10 Min.)"));
    scheduler.advance(1);
    EXPECT_EQ(loopLine(), QStringLiteral("busybox \u00B7 running"));
    engine.event("die", "db", 1);
    EXPECT_EQ(flashes.size(), 2) << "up ten minutes, then failing: told again";

    // A bar counts from the list: the running containers, and those ended with an error, dead or
    // unhealthy; neither a clean exit nor a stop's SIGTERM.
    DockerContainerList counted { container("a", "running"), container("b", "exited"), container("c", "exited"),
        container("d", "exited"), container("e", "dead"), container("f", "running") };
    counted[1].status = QStringLiteral("Exited (0) 1 minute ago");
    counted[2].status = QStringLiteral("Exited (1) 2 minutes ago");
    counted[3].status = QStringLiteral("Exited (143) 3 minutes ago");
    counted[5].status = QStringLiteral("Up 3 hours (unhealthy)");
    poll(counted);
    EXPECT_EQ(module->counts(), (ModuleCounts { 0, 0, 0, 2, 3 }));
}

TEST_F(ModuleTest, CommandsGoOneAtATimeProjectsInTheEnginesOrderAndARefusalStaysBesideItsContainer)
{
    const DockerContainerList list { container("web", "exited"), container("db", "running", "shop"),
        container("cache", "running"), container("api", "exited", "shop") };
    poll(list);
    EXPECT_EQ(module->overlayRows().at(0).detail, QStringLiteral("shop: 1 von 2 laufen, cache"));
    EXPECT_EQ(detail(QStringLiteral("Podman"))->row.detail, QStringLiteral("/run/user/1000/podman/podman.sock"));
    EXPECT_EQ(detail(QStringLiteral("api"))->group, QStringLiteral("shop"));
    EXPECT_EQ(detail(QStringLiteral("Alle Container"))->row.detail, QStringLiteral("1 von 2 laufen"));

    // Each press: one command, none more while it is under way; the list is read again after it
    // (no stream runs), and a refusal shown beside the container.
    const auto press = [&](const ContainerSource::CommandResult &result) {
        detail(QStringLiteral("web"))->commands[0].run();
        detail(QStringLiteral("web"))->commands[1].run();
        EXPECT_EQ(engine.commands.size(), 1);
        EXPECT_EQ(engine.commands[0].first, QStringLiteral("web-id start"));
        engine.commands.takeFirst().second(result);
        engine.lists.takeLast()(list);
        return detail(QStringLiteral("web"))->message;
    };
    EXPECT_EQ(press(DockerError::refused(QStringLiteral("No such image"))), QStringLiteral("No such image"));
    EXPECT_EQ(press(std::nullopt), QString());
    EXPECT_EQ(press(DockerError::refused(QString())), QStringLiteral("Docker antwortet nicht."));
    EXPECT_EQ(
        press(DockerError::socketNotFound()), QStringLiteral("Docker ist nicht installiert oder nicht gestartet."));
    poll(DockerContainerList { list[1] });
    poll(list);
    EXPECT_EQ(detail(QStringLiteral("web"))->message, QString()) << "a refusal goes with its container";

    // A project's containers one after the other, in the engine's order.
    detail(QStringLiteral("Alle Container"))->commands[1].run();
    detail(QStringLiteral("web"))->commands[1].run();
    EXPECT_EQ(engine.commands.size(), 2);
    engine.commands.takeFirst().second(std::nullopt);
    ASSERT_EQ(engine.commands.size(), 2);
    EXPECT_EQ(engine.commands[0].first, QStringLiteral("web-id restart"));
    EXPECT_EQ(engine.commands[1].first, QStringLiteral("api-id stop"));
}

TEST_F(ModuleTest, ALogOpensUnderItsContainerReadsAgainOnRequestAndGoesWithIt)
{
    poll(DockerContainerList { container("web", "running"), container("db", "running") });
    detail(QStringLiteral("web"))->commands[2].run();
    ASSERT_TRUE(detail(QStringLiteral("web"))->document);
    EXPECT_TRUE(detail(QStringLiteral("web"))->document->loading);
    ASSERT_EQ(engine.logs.size(), 1);
    engine.logs.takeFirst().second(QStringLiteral("line 1\n"));
    EXPECT_EQ(detail(QStringLiteral("web"))->document->text, QStringLiteral("line 1\n"));
    EXPECT_EQ(detail(QStringLiteral("web"))->commands[2].label, QStringLiteral("Protokoll schließen"));
    EXPECT_FALSE(detail(QStringLiteral("db"))->document);

    detail(QStringLiteral("web"))->document->refresh();
    engine.logs.takeFirst().second(DockerError::timedOut());
    EXPECT_EQ(detail(QStringLiteral("web"))->document->text, QStringLiteral("line 1\n")) << "kept while failing";
    EXPECT_EQ(detail(QStringLiteral("web"))->message, QStringLiteral("Docker antwortet nicht."));

    poll(DockerContainerList { container("db", "running") });
    poll(DockerContainerList { container("web", "running"), container("db", "running") });
    EXPECT_FALSE(detail(QStringLiteral("web"))->document) << "a log goes with its container";
}

TEST(DockerModuleEngines, ContextsFollowTheListAndEachEngineSpeaksForItself)
{
    ManualScheduler scheduler;
    EventBus bus;
    QStringList flashes;
    bus.subscribe([&](const ModuleEvent &event) { flashes << event.text; });
    TempPreferences preferences;
    DockerContexts contexts { DockerCliConfig({ preferences.dir.path() }) };
    QHash<QString, FakeContainerSource *> engines;
    DockerModule module(scheduler, bus, *preferences.store, contexts, [&](const QString &context) {
        auto source = std::make_unique<FakeContainerSource>();
        engines[context] = source.get();
        return source;
    });
    module.start();
    const QString key = QString::fromLatin1(DockerModule::enginesKey);
    preferences.store->setValue(key, QStringList { u"build-box"_s, u"default"_s, u"gone"_s });
    ASSERT_EQ(module.engines().size(), 3) << "the CLI's default context is the local engine";
    engines[QString()]->lists.takeLast()(DockerContainerList { container("web", "running") });
    engines[u"build-box"_s]->lists.takeLast()(DockerContainerList {
        container("a", "running"), container("b", "exited"), container("c", "running"), container("d", "running") });
    engines[u"gone"_s]->lists.takeLast()(DockerError::unusable(u"Kontext „gone“: unbekannt"_s));

    QStringList titles;
    for (const ModuleRow &row : module.overlayRows())
        titles << row.title;
    EXPECT_EQ(titles,
        (QStringList {
            u"Lokal: 1 von 1 laufen"_s, u"build-box: 3 von 4 laufen"_s, u"gone: Kontext „gone“: unbekannt"_s }));
    EXPECT_EQ(module.compactStatus()->text, u"4 von 5 Containern laufen"_s) << "over the engines that answer";
    EXPECT_EQ(module.errorText(), std::nullopt);
    const QList<ModuleDetail> details = module.details();
    EXPECT_TRUE(std::any_of(details.cbegin(), details.cend(), [](const ModuleDetail &detail) {
        return detail.group == u"gone"_s && detail.row.detail == u"Kontext „gone“: unbekannt"_s;
    }));
    EXPECT_TRUE(std::any_of(details.cbegin(), details.cend(),
        [](const ModuleDetail &detail) { return detail.group == u"build-box"_s && detail.row.title == u"a"_s; }));
    engines[u"build-box"_s]->event("die", "a", 1);
    EXPECT_EQ(flashes, QStringList { u"build-box: a beendet (Code 1)"_s });

    preferences.store->setValue(key, QStringList { u"gone"_s });
    ASSERT_EQ(module.engines().size(), 2);
    EXPECT_EQ(module.engines().back()->name(), u"gone"_s);
}

} // namespace

#include "ManualScheduler.h"
#include "QtPrinters.h"

#include "modules/docker/DockerModule.h"

#include <gtest/gtest.h>

#include <deque>

namespace {

struct Command {
    QString containerId;
    bool running;
    ContainerSource::CommandDone done;
};

// A container source that keeps each request until the test answers it, in queues the test owns,
// so that they outlast the source (and the module that owns it).
struct FakeContainerSource final : ContainerSource {
    std::deque<Done> &requests;
    std::deque<Command> &commands;

    FakeContainerSource(std::deque<Done> &requestQueue, std::deque<Command> &commandQueue)
        : requests(requestQueue)
        , commands(commandQueue)
    { }
    void listContainers(Done done) override { requests.push_back(std::move(done)); }
    void setRunning(const QString &id, bool running, CommandDone done) override { commands.push_back({ id, running, done }); }
};

const QString notRunning = QStringLiteral("Docker ist nicht installiert oder nicht gestartet.");
const QString notAnswering = QStringLiteral("Docker antwortet nicht.");

DockerContainerList containers(std::initializer_list<const char *> states)
{
    static int next = 0;
    DockerContainerList list;
    for (const char *state : states) {
        const QString id = QString::number(++next);
        list.append({ id, { QStringLiteral("/c") + id }, QStringLiteral("busybox"), QString::fromLatin1(state), {} });
    }
    return list;
}

// A module over a scripted engine and a clock moved by hand.
struct ModuleTest : ::testing::Test {
    ManualScheduler scheduler;
    std::deque<ContainerSource::Done> requests;
    std::deque<Command> commands;
    std::unique_ptr<DockerModule> module
        = std::make_unique<DockerModule>(scheduler, std::make_unique<FakeContainerSource>(requests, commands));

    // Answers the oldest open request (or the one at `index`).
    void answer(const ContainerSource::Result &result, size_t index = 0)
    {
        ASSERT_LT(index, requests.size());
        auto done = std::move(requests[index]);
        requests.erase(requests.begin() + std::ptrdiff_t(index));
        done(result);
    }
    void poll(const ContainerSource::Result &result)
    {
        module->refresh();
        answer(result);
    }
    std::optional<ModuleStatus> status() const { return module->compactStatus(); }
    QString firstRowDetail() const { return module->overlayRows().at(0).detail; }
};

TEST_F(ModuleTest, SumsUpTheListAndKeepsItWhileTheEngineDoesNotAnswer)
{
    EXPECT_EQ(firstRowDetail(), QStringLiteral("L\u00E4dt \u2026"));
    poll(containers({ "exited", "created" }));
    EXPECT_EQ(status(), (ModuleStatus { QStringLiteral("0 von 2 Containern laufen"), Color::gray() }));
    poll(DockerContainerList {});
    EXPECT_EQ(status(), std::nullopt);
    EXPECT_EQ(firstRowDetail(), QStringLiteral("Keine Container"));

    const DockerContainerList two = containers({ "running", "exited" });
    poll(two);
    poll(DockerError::timedOut());
    EXPECT_EQ(module->containers(), two);
    EXPECT_EQ(status(), std::nullopt) << "no status while an error text is shown";
    EXPECT_EQ(module->overlayRows().at(0).title, notAnswering);
    poll(two);
    EXPECT_EQ(module->errorText(), std::nullopt);

    // Observers hear of each change before it is made.
    QStringList seen;
    QObject::connect(module.get(), &DevModule::willChange, [&] {
        seen << QStringLiteral("%1 %2").arg(module->containers().size()).arg(module->errorText().value_or(QString()));
    });
    poll(DockerError::socketNotFound());
    EXPECT_EQ(module->errorText(), notRunning);
    EXPECT_EQ(seen, QStringList({ QStringLiteral("2 "), QStringLiteral("0 ") }));
}

TEST_F(ModuleTest, PausesFifteenSecondsAfterEveryPollAndTheNewestAnswerWins)
{
    module->start();
    module->start();
    ASSERT_EQ(requests.size(), 2u);
    // The second loop's answer arrives first; the first loop's older answer must not replace it.
    answer(containers({ "running" }), 1);
    answer(DockerError::requestFailed(7));
    EXPECT_EQ(module->errorText(), std::nullopt);
    EXPECT_EQ(scheduler.nextDelay(), 15);
    scheduler.advance(15);
    answer(DockerError::requestFailed(7));
    EXPECT_EQ(scheduler.nextDelay(), 15) << "a failed poll neither ends the loop nor backs off";

    module->stop();
    EXPECT_EQ(scheduler.pendingCount(), 0);
    module->start();
    module.reset();
    answer(containers({ "running" })); // an answer for a module that is gone is dropped
}

TEST_F(ModuleTest, RowsNameRunningContainersAndCommandsStartOrStopOneAtATime)
{
    DockerContainerList list = containers({ "running", "exited", "running", "running", "running" });
    list[1].names = QStringList { QStringLiteral("/web"), QStringLiteral("/alias") };
    list[2].names.clear(); // unnamed: its short id
    list[2].id = QStringLiteral("0123456789abcdef");
    poll(list);
    EXPECT_EQ(module->overlayRows(),
        QList<ModuleRow>({ { QStringLiteral("4 von 5 Containern laufen"),
            QStringLiteral("c%1, 0123456789ab, c%2").arg(list[0].id, list[3].id), std::nullopt, Color::green(), {} } }));

    const QList<ModuleDetail> details = module->details();
    EXPECT_EQ(details[1].row,
        (ModuleRow { QStringLiteral("web"), QStringLiteral("busybox \u00B7 exited"), std::nullopt, Color::gray(), {} }));
    EXPECT_EQ(details[1].command->accessibleName, QStringLiteral("web starten"));
    EXPECT_EQ(details[0].command->label, QStringLiteral("Stoppen"));

    details[1].command->run();
    details[1].command->run(); // under way: does nothing
    ASSERT_EQ(commands.size(), 1u);
    EXPECT_EQ(commands[0].containerId, list[1].id);
    EXPECT_TRUE(commands[0].running);
    EXPECT_TRUE(module->details()[1].command->underWay);

    // Each outcome: the list is read again; a refusal stays beside the container until a success.
    const auto finish = [&](const ContainerSource::CommandResult &result) {
        auto done = std::move(commands.front().done);
        commands.pop_front();
        done(result);
        EXPECT_FALSE(module->details()[1].command->underWay);
        answer(list);
        const QString message = module->details()[1].message;
        module->details()[1].command->run(); // the next press
        return message;
    };
    EXPECT_EQ(finish(DockerError::refused(QStringLiteral("No such image"))), QStringLiteral("No such image"));
    EXPECT_EQ(finish(std::nullopt), QString());
    EXPECT_EQ(finish(DockerError::refused(QString())), notAnswering);
    EXPECT_EQ(finish(DockerError::socketNotFound()), notRunning);
    const DockerContainer web = list.takeAt(1);
    poll(list);
    list.insert(1, web);
    poll(list);
    EXPECT_EQ(module->details()[1].message, QString()) << "a refusal goes with its container";
}

} // namespace

// The Docker module over a scripted engine: what it makes of each answer, which answer wins, the
// pause it asks for, and its start and stop commands.
#include "ManualScheduler.h"
#include "QtPrinters.h"

#include "modules/docker/DockerModule.h"

#include <gtest/gtest.h>

namespace {

// Keeps each request until the test answers it.
struct FakeContainerSource final : ContainerSource {
    QList<Done> lists;
    QList<std::pair<QString, CommandDone>> commands; // "<id>+" to start, "<id>-" to stop

    void listContainers(Done done) override { lists.append(std::move(done)); }
    void setRunning(const QString &id, bool running, CommandDone done) override
    {
        commands.append({ id + (running ? u'+' : u'-'), std::move(done) });
    }
};

const QString notRunning = QStringLiteral("Docker ist nicht installiert oder nicht gestartet.");
const QString notAnswering = QStringLiteral("Docker antwortet nicht.");

DockerContainer container(const char *name, const char *state)
{
    const QString id = QString::fromLatin1(name) + QStringLiteral("-id");
    return { id, { u'/' + QString::fromLatin1(name) }, QStringLiteral("busybox"), QString::fromLatin1(state), {} };
}

struct ModuleTest : ::testing::Test {
    ManualScheduler scheduler;
    std::unique_ptr<FakeContainerSource> source = std::make_unique<FakeContainerSource>();
    FakeContainerSource &engine = *source;
    std::unique_ptr<DockerModule> module = std::make_unique<DockerModule>(scheduler, std::move(source));

    // Reads the list once, with `result` as the engine's answer.
    void poll(const ContainerSource::Result &result)
    {
        module->refresh();
        engine.lists.takeLast()(result);
    }
};

TEST_F(ModuleTest, SumsUpTheListAndKeepsItWhileTheEngineDoesNotAnswer)
{
    EXPECT_EQ(module->overlayRows().at(0).detail, QStringLiteral("L\u00E4dt \u2026"));
    DockerContainerList list { container("a", "running"), container("b", "exited"), container("c", "running"),
        container("d", "running"), container("e", "running") };
    list[2].names.clear(); // unnamed: its short id
    list[2].id = QStringLiteral("0123456789abcdef");
    poll(list);
    EXPECT_EQ(module->overlayRows(),
        QList<ModuleRow>({ { QStringLiteral("4 von 5 Containern laufen"), QStringLiteral("a, 0123456789ab, d"),
            std::nullopt, Color::green(), {} } }));

    poll(DockerError::timedOut());
    EXPECT_EQ(module->containers(), list);
    EXPECT_EQ(module->compactStatus(), std::nullopt) << "no status while an error text is shown";
    EXPECT_EQ(module->overlayRows().at(0).title, notAnswering);
    poll(DockerError::socketNotFound());
    EXPECT_TRUE(module->containers().isEmpty());
    EXPECT_EQ(module->errorText(), notRunning);
    poll(DockerContainerList { container("a", "exited") });
    EXPECT_EQ(module->compactStatus(), (ModuleStatus { QStringLiteral("0 von 1 Containern laufen"), Color::gray() }));
}

TEST_F(ModuleTest, PausesFifteenSecondsAfterEveryPollAndTheNewestAnswerWins)
{
    module->start();
    module->start();
    engine.lists.takeLast()(DockerContainerList {});
    engine.lists.takeLast()(DockerError::requestFailed(7)); // the older poll's answer, arriving later
    EXPECT_EQ(module->errorText(), std::nullopt);
    EXPECT_EQ(scheduler.nextDelay(), 15);

    scheduler.advance(15);
    const ContainerSource::Done late = engine.lists.takeLast();
    module.reset();
    late(DockerContainerList {}); // an answer for a module that is gone is dropped
}

TEST_F(ModuleTest, CommandsStartOrStopOneAtATimeAndARefusalStaysBesideItsContainer)
{
    const DockerContainerList list { container("web", "exited"), container("db", "running") };
    poll(list);
    const QList<ModuleDetail> details = module->details();
    EXPECT_EQ(details[0].row,
        (ModuleRow {
            QStringLiteral("web"), QStringLiteral("busybox \u00B7 exited"), std::nullopt, Color::gray(), {} }));
    EXPECT_EQ(details[0].command->accessibleName, QStringLiteral("web starten"));
    EXPECT_EQ(details[1].command->label, QStringLiteral("Stoppen"));

    // Each press: one command, none more while it is under way; the list is read again after it,
    // and a refusal shown beside the container.
    const auto press = [&](const ContainerSource::CommandResult &result) {
        module->details()[0].command->run();
        module->details()[0].command->run();
        EXPECT_EQ(engine.commands.size(), 1);
        EXPECT_EQ(engine.commands[0].first, QStringLiteral("web-id+"));
        engine.commands.takeFirst().second(result);
        engine.lists.takeLast()(list);
        return module->details()[0].message;
    };
    EXPECT_EQ(press(DockerError::refused(QStringLiteral("No such image"))), QStringLiteral("No such image"));
    EXPECT_EQ(press(std::nullopt), QString());
    EXPECT_EQ(press(DockerError::refused(QString())), notAnswering);
    EXPECT_EQ(press(DockerError::socketNotFound()), notRunning);
    poll(DockerContainerList { list[1] });
    poll(list);
    EXPECT_EQ(module->details()[0].message, QString()) << "a refusal goes with its container";
}

} // namespace

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

TEST_F(ModuleTest, KeepsTheListWhileTheEngineDoesNotAnswerAndTheNewestAnswerWins)
{
    module->start();
    module->start();
    DockerContainerList list { container("a", "running"), container("b", "exited"), container("c", "running"),
        container("d", "running"), container("e", "running") };
    engine.lists.takeLast()(list);
    engine.lists.takeLast()(DockerError::requestFailed(7)); // the older poll's answer, arriving later
    EXPECT_EQ(module->overlayRows().at(0).detail, QStringLiteral("a, c, d"));
    EXPECT_EQ(scheduler.nextDelay(), 15);

    poll(DockerError::timedOut());
    EXPECT_EQ(module->containers(), list);
    EXPECT_EQ(module->overlayRows().at(0).title, QStringLiteral("Docker antwortet nicht."));
}

TEST_F(ModuleTest, CommandsGoOneAtATimeAndARefusalStaysBesideItsContainer)
{
    const DockerContainerList list { container("web", "exited"), container("db", "running") };
    poll(list);
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
    EXPECT_EQ(press(DockerError::refused(QString())), QStringLiteral("Docker antwortet nicht."));
    EXPECT_EQ(
        press(DockerError::socketNotFound()), QStringLiteral("Docker ist nicht installiert oder nicht gestartet."));
    poll(DockerContainerList { list[1] });
    poll(list);
    EXPECT_EQ(module->details()[0].message, QString()) << "a refusal goes with its container";
}

} // namespace

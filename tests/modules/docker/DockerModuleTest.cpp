// The Docker module over a scripted engine: what it makes of each answer, which answer wins, the
// pause it asks for, and its start and stop commands.
#include "ManualScheduler.h"
#include "QtPrinters.h"

#include "modules/docker/DockerModule.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

namespace {

// Keeps each request until the test answers it.
struct FakeContainerSource final : ContainerSource {
    QList<Done> lists;
    QList<CommandDone> commands;
    QStringList commanded; // "<id>+" to start, "<id>-" to stop

    void listContainers(Done done) override { lists.append(std::move(done)); }
    void setRunning(const QString &id, bool running, CommandDone done) override
    {
        commanded << id + (running ? u'+' : u'-');
        commands.append(std::move(done));
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

    // Answers the oldest open list request (or the one at `index`).
    void answer(const ContainerSource::Result &result, qsizetype index = 0)
    {
        ASSERT_LT(index, engine.lists.size());
        engine.lists.takeAt(index)(result);
    }
    void poll(const ContainerSource::Result &result)
    {
        module->refresh();
        answer(result);
    }
};

TEST_F(ModuleTest, SumsUpTheListAndKeepsItWhileTheEngineDoesNotAnswer)
{
    EXPECT_EQ(module->overlayRows().at(0).detail, QStringLiteral("L\u00E4dt \u2026"));
    poll(DockerContainerList {});
    EXPECT_EQ(module->compactStatus(), std::nullopt);
    EXPECT_EQ(module->overlayRows().at(0).detail, QStringLiteral("Keine Container"));
    poll(DockerContainerList { container("a", "exited") });
    EXPECT_EQ(module->compactStatus(), (ModuleStatus { QStringLiteral("0 von 1 Containern laufen"), Color::gray() }));

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
    poll(list);
    EXPECT_EQ(module->errorText(), std::nullopt);
    QSignalSpy changes(module.get(), &DevModule::willChange);
    poll(DockerError::socketNotFound());
    EXPECT_EQ(module->errorText(), notRunning);
    EXPECT_TRUE(module->containers().isEmpty());
    EXPECT_EQ(changes.size(), 2);
}

TEST_F(ModuleTest, PausesFifteenSecondsAfterEveryPollAndTheNewestAnswerWins)
{
    module->start();
    module->start();
    // The second loop's answer arrives first; the first loop's older answer must not replace it.
    answer(DockerContainerList { container("a", "running") }, 1);
    answer(DockerError::requestFailed(7));
    EXPECT_EQ(module->errorText(), std::nullopt);
    EXPECT_EQ(scheduler.nextDelay(), 15);
    scheduler.advance(15);
    answer(DockerError::requestFailed(7));
    EXPECT_EQ(scheduler.nextDelay(), 15) << "a failed poll neither ends the loop nor backs off";

    scheduler.advance(15);
    const ContainerSource::Done late = engine.lists.takeFirst();
    module.reset();
    late(DockerContainerList {}); // an answer for a module that is gone is dropped
}

TEST_F(ModuleTest, CommandsStartOrStopOneAtATimeAndARefusalStaysBesideItsContainer)
{
    DockerContainerList list { container("web", "exited"), container("db", "running") };
    poll(list);
    const QList<ModuleDetail> details = module->details();
    EXPECT_EQ(details[0].row,
        (ModuleRow {
            QStringLiteral("web"), QStringLiteral("busybox \u00B7 exited"), std::nullopt, Color::gray(), {} }));
    EXPECT_EQ(details[0].command->accessibleName, QStringLiteral("web starten"));
    EXPECT_EQ(details[1].command->label, QStringLiteral("Stoppen"));

    details[0].command->run();
    details[0].command->run(); // under way: does nothing
    EXPECT_EQ(engine.commanded, QStringList { QStringLiteral("web-id+") });
    EXPECT_TRUE(module->details()[0].command->underWay);

    // Each outcome: the list is read again and the message is shown until the next press.
    const auto finish = [&](const ContainerSource::CommandResult &result) {
        engine.commands.takeFirst()(result);
        EXPECT_FALSE(module->details()[0].command->underWay);
        answer(list);
        const QString message = module->details()[0].message;
        module->details()[0].command->run();
        return message;
    };
    EXPECT_EQ(finish(DockerError::refused(QStringLiteral("No such image"))), QStringLiteral("No such image"));
    EXPECT_EQ(finish(std::nullopt), QString());
    EXPECT_EQ(finish(DockerError::refused(QString())), notAnswering);
    EXPECT_EQ(finish(DockerError::socketNotFound()), notRunning);
    poll(DockerContainerList { list[1] });
    poll(list);
    EXPECT_EQ(module->details()[0].message, QString()) << "a refusal goes with its container";
}

} // namespace

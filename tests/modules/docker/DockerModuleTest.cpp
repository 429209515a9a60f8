#include "DockerPrinters.h"
#include "FakeContainerSource.h"
#include "ManualScheduler.h"
#include "QtPrinters.h"

#include "modules/docker/DockerModule.h"

#include <gtest/gtest.h>

namespace {

const QString notRunning = QStringLiteral("Docker ist nicht installiert oder nicht gestartet.");
const QString notAnswering = QStringLiteral("Docker antwortet nicht.");

DockerContainer container(const char *state)
{
    static int next = 0;
    const QString id = QString::number(++next);
    return { id, { QStringLiteral("/c") + id }, QStringLiteral("busybox"), QString::fromLatin1(state),
        QStringLiteral("…") };
}

DockerContainerList containers(std::initializer_list<const char *> states)
{
    DockerContainerList list;
    for (const char *state : states)
        list.append(container(state));
    return list;
}

// A module over a scripted engine and a clock moved by hand.
struct ModuleTest : ::testing::Test {
    ManualScheduler scheduler;
    FakeContainerSource::Requests requests;
    FakeContainerSource::Commands commands;
    std::unique_ptr<DockerModule> module
        = std::make_unique<DockerModule>(scheduler, std::make_unique<FakeContainerSource>(requests, &commands));

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
};

TEST_F(ModuleTest, SumsUpRunningContainersInGreenOrGray)
{
    EXPECT_EQ(module->id(), QStringLiteral("docker"));
    EXPECT_EQ(module->symbol(), QStringLiteral("shippingbox"));
    EXPECT_EQ(status(), std::nullopt) << "nothing read yet";

    poll(containers({ "running", "exited" }));
    EXPECT_EQ(status(), (ModuleStatus { QStringLiteral("1 von 2 Containern laufen"), Color::green() }));
    poll(containers({ "exited", "created", "Running" }));
    EXPECT_EQ(status(), (ModuleStatus { QStringLiteral("0 von 3 Containern laufen"), Color::gray() }))
        << "only the exact word counts";
    poll(containers({ "running" }));
    EXPECT_EQ(status(), (ModuleStatus { QStringLiteral("1 von 1 Containern laufen"), Color::green() }));
    poll(DockerContainerList {});
    EXPECT_EQ(status(), std::nullopt);
    EXPECT_EQ(module->errorText(), std::nullopt);
}

TEST_F(ModuleTest, KeepsTheLastListWhileTheEngineDoesNotAnswerAndEmptiesItWhenItIsGone)
{
    const DockerContainerList three = containers({ "running", "running", "exited" });
    poll(three);
    for (const DockerError &error : { DockerError::requestFailed(7), DockerError::timedOut(),
             DockerError::outputTooLarge(), DockerError::launchFailed(QStringLiteral("No such file")),
             DockerError::decodingFailed(QStringLiteral("x")) }) {
        poll(error);
        EXPECT_EQ(module->errorText(), notAnswering) << ::testing::PrintToString(error);
        EXPECT_EQ(module->containers(), three);
        EXPECT_EQ(status(), std::nullopt) << "no status while an error text is shown";
    }

    poll(three);
    EXPECT_EQ(module->errorText(), std::nullopt);
    EXPECT_EQ(status(), (ModuleStatus { QStringLiteral("2 von 3 Containern laufen"), Color::green() }));

    poll(DockerError::socketNotFound());
    EXPECT_EQ(module->errorText(), notRunning);
    EXPECT_TRUE(module->containers().isEmpty());
    EXPECT_EQ(status(), std::nullopt);
}

TEST_F(ModuleTest, ObserversHearOfEachChangeBeforeItIsMade)
{
    poll(containers({ "running" }));
    QStringList seen;
    QObject::connect(module.get(), &DevModule::willChange, [&] {
        seen << QStringLiteral("%1 containers, error %2")
                    .arg(module->containers().size())
                    .arg(module->errorText().value_or(QStringLiteral("none")));
    });
    poll(DockerError::socketNotFound());
    EXPECT_EQ(
        seen, QStringList({ QStringLiteral("1 containers, error none"), QStringLiteral("0 containers, error none") }));
}

TEST_F(ModuleTest, PollsAtOnceThenFifteenSecondsAfterEachPollEnds)
{
    module->start();
    ASSERT_EQ(requests.size(), 1u) << "the first poll starts at once";
    scheduler.advance(40);
    EXPECT_EQ(requests.size(), 1u) << "no second poll while one is under way";
    answer(containers({ "running" }));

    scheduler.advance(14.9);
    EXPECT_TRUE(requests.empty());
    scheduler.advance(0.1);
    ASSERT_EQ(requests.size(), 1u);
    scheduler.advance(3); // a slow answer moves the next poll back
    answer(DockerError::requestFailed(7));
    scheduler.advance(14.9);
    EXPECT_TRUE(requests.empty());
    scheduler.advance(0.1);
    EXPECT_EQ(requests.size(), 1u) << "a failed poll does not end the loop";
}

TEST_F(ModuleTest, StopLetsThePollUnderWayLandButEndsTheLoop)
{
    module->start();
    module->stop();
    answer(containers({ "running", "exited" }));
    EXPECT_EQ(module->containers().size(), 2);
    scheduler.advance(100);
    EXPECT_TRUE(requests.empty());
    EXPECT_EQ(scheduler.pendingCount(), 0);

    poll(DockerError::requestFailed(7));
    module->stop();
    EXPECT_EQ(module->containers().size(), 2) << "a stopped module keeps what it has read";
    EXPECT_EQ(module->errorText(), notAnswering);
}

TEST_F(ModuleTest, StartingAgainRestartsWithOneLoopAndTheNewestAnswerWins)
{
    module->start();
    module->start();
    ASSERT_EQ(requests.size(), 2u) << "the second loop polls at once";

    // The second loop's answer arrives first; the first loop's older answer must not replace it.
    answer(containers({ "running" }), 1);
    answer(DockerError::requestFailed(7));
    EXPECT_EQ(module->errorText(), std::nullopt);
    EXPECT_EQ(module->containers().size(), 1);

    EXPECT_EQ(scheduler.pendingCount(), 1) << "only the second loop goes on";
    scheduler.advance(15);
    EXPECT_EQ(requests.size(), 1u);
}

TEST_F(ModuleTest, RowsNameRunningContainersAndCommandsStartOrStopOneAtATime)
{
    EXPECT_EQ(module->overlayRows().at(0).detail, QStringLiteral("L\u00E4dt \u2026"));
    DockerContainerList list = containers({ "running", "exited", "running", "running", "running" });
    list[1].names = QStringList { QStringLiteral("/web"), QStringLiteral("/alias") };
    poll(list);
    EXPECT_EQ(module->overlayRows(),
        QList<ModuleRow>({ { QStringLiteral("4 von 5 Containern laufen"), QStringLiteral("c%1, c%2, c%3")
                                   .arg(list[0].id, list[2].id, list[3].id), std::nullopt, Color::green(), {} } }));

    QList<ModuleDetail> details = module->details();
    ASSERT_EQ(details.size(), 5);
    EXPECT_EQ(details[1].row.title, QStringLiteral("web"));
    EXPECT_EQ(details[1].row.detail, QStringLiteral("busybox \u00B7 exited"));
    ASSERT_TRUE(details[1].command);
    EXPECT_EQ(details[1].command->label, QStringLiteral("Starten"));
    EXPECT_EQ(details[1].command->accessibleName, QStringLiteral("web starten"));
    EXPECT_EQ(details[0].command->accessibleName, QStringLiteral("c%1 stoppen").arg(list[0].id));

    details[1].command->run();
    details[1].command->run(); // under way: does nothing
    ASSERT_EQ(commands.size(), 1u);
    EXPECT_EQ(commands[0].containerId, list[1].id);
    EXPECT_TRUE(commands[0].running);
    EXPECT_TRUE(module->details()[1].command->underWay);

    // The engine refuses: its message stays beside the container, and the list is read again.
    auto done = std::move(commands[0].done);
    commands.pop_front();
    done(DockerError::refused(QStringLiteral("No such image")));
    EXPECT_EQ(module->details()[1].message, QStringLiteral("No such image"));
    EXPECT_FALSE(module->details()[1].command->underWay);
    ASSERT_EQ(requests.size(), 1u);
    answer(list);

    module->details()[1].command->run();
    done = std::move(commands[0].done);
    commands.pop_front();
    done(std::nullopt);
    EXPECT_TRUE(module->details()[1].message.isEmpty());

    poll(DockerError::requestFailed(7));
    EXPECT_EQ(module->overlayRows().at(0).title, notAnswering);
}

TEST_F(ModuleTest, AnAnswerForAModuleThatIsGoneIsDropped)
{
    module->start();
    module.reset();
    answer(containers({ "running" }));
    scheduler.advance(100);
    EXPECT_TRUE(requests.empty());
}

} // namespace

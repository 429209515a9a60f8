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
    std::unique_ptr<DockerModule> module
        = std::make_unique<DockerModule>(scheduler, std::make_unique<FakeContainerSource>(requests));

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

TEST_F(ModuleTest, AnAnswerForAModuleThatIsGoneIsDropped)
{
    module->start();
    module.reset();
    answer(containers({ "running" }));
    scheduler.advance(100);
    EXPECT_TRUE(requests.empty());
}

} // namespace

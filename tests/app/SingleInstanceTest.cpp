#include "UnixHttpServer.h"

#include "app/SingleInstance.h"

#include <QDir>
#include <QFileInfo>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <gtest/gtest.h>

namespace {

// A runtime folder of the test's own, as the desktop session would provide.
class SingleInstanceTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(runtime.isValid());
        QFile::setPermissions(runtime.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        previous = qgetenv("XDG_RUNTIME_DIR");
        qputenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit());
    }
    void TearDown() override { qputenv("XDG_RUNTIME_DIR", previous); }

    QTemporaryDir runtime;
    QByteArray previous;
};

TEST_F(SingleInstanceTest, ASecondLaunchAsksTheFirstToShowItsSettings)
{
    SingleInstance first(QStringLiteral("xcb-:7"));
    QSignalSpy requests(&first, &SingleInstance::showSettingsRequested);
    ASSERT_EQ(first.claim(), SingleInstance::Claim::Owner);

    // The second launch blocks while it waits for the answer, as a separate process would.
    auto second = std::async(std::launch::async, [] { return SingleInstance(QStringLiteral("xcb-:7")).claim(); });
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return second.wait_for(std::chrono::seconds(0)) == std::future_status::ready; }, 10000));
    EXPECT_EQ(second.get(), SingleInstance::Claim::Forwarded);
    EXPECT_TRUE(QTest::qWaitFor([&] { return requests.size() == 1; }, 5000));

    // Another display keeps its own instance.
    SingleInstance elsewhere(QStringLiteral("xcb-:8"));
    EXPECT_EQ(elsewhere.claim(), SingleInstance::Claim::Owner);
    EXPECT_EQ(requests.size(), 1);
}

TEST_F(SingleInstanceTest, TakesOverASocketLeftByACrashedInstance)
{
    const QString path = SingleInstance::socketPath(runtime.path(), QStringLiteral("xcb-:7"));
    ASSERT_TRUE(UnixHttpServer::makeStaleSocket(path)); // as a killed instance leaves it

    SingleInstance instance(QStringLiteral("xcb-:7"));
    EXPECT_EQ(instance.claim(), SingleInstance::Claim::Owner);
}

TEST_F(SingleInstanceTest, RunsUnguardedWhereNoSocketCanBeMadeAndKeepsNamesInItsFolder)
{
    // Longer than a unix socket address can be.
    SingleInstance instance(QString(200, u'x'));
    EXPECT_EQ(instance.claim(), SingleInstance::Claim::Unguarded);

    EXPECT_EQ(SingleInstance::socketPath(QStringLiteral("/run/user/1000"), QStringLiteral("xcb-:0.0")),
        QStringLiteral("/run/user/1000/tarnlet-xcb-_0.0.socket"));
    EXPECT_EQ(SingleInstance::socketPath(QStringLiteral("/r"), QStringLiteral("wayland-../../x")),
        QStringLiteral("/r/tarnlet-wayland-.._.._x.socket"));
}

} // namespace

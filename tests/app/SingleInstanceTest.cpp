#include "UnixHttpServer.h"

#include "app/SingleInstance.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

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

// (A second launch on the same display handing over to the first is the whole-program test's.)
TEST_F(SingleInstanceTest, AnotherDisplayKeepsItsOwnInstance)
{
    SingleInstance first(QStringLiteral("xcb-:7"));
    ASSERT_EQ(first.claim(), SingleInstance::Claim::Owner);
    SingleInstance elsewhere(QStringLiteral("xcb-:8"));
    EXPECT_EQ(elsewhere.claim(), SingleInstance::Claim::Owner);
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

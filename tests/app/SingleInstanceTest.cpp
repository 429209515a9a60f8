#include "app/SingleInstance.h"

#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <unistd.h>

namespace {

using namespace Qt::StringLiterals;
using Claim = SingleInstance::Claim;

// In a runtime folder of the test's own, as the desktop session provides it. (A second launch on
// the same display handing over to the first is the whole-program test's.)
TEST(SingleInstance, OneInstancePerDisplayTakingOverWhatACrashLeft)
{
    QTemporaryDir runtime;
    const QByteArray previous = qgetenv("XDG_RUNTIME_DIR");
    qputenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit());

    SingleInstance first(u"xcb-:7"_s);
    EXPECT_EQ(first.claim(), Claim::Owner);
    {
        QLocalServer crashed; // its socket file stays behind under the instance's name once it ends
        ASSERT_TRUE(crashed.listen(runtime.filePath(u"crashed"_s)));
        const QString stale = SingleInstance::socketPath(runtime.path(), u"xcb-:9"_s);
        ASSERT_EQ(::link(QFile::encodeName(crashed.fullServerName()), QFile::encodeName(stale)), 0);
    }
    {
        // Another launch holds the name and has not listened yet: the stale socket is not ours to clear.
        QLockFile starting(SingleInstance::socketPath(runtime.path(), u"xcb-:9"_s) + u".lock"_s);
        ASSERT_TRUE(starting.tryLock(0));
        EXPECT_EQ(SingleInstance(u"xcb-:9"_s).claim(), Claim::Taken);
    }
    EXPECT_EQ(SingleInstance(u"xcb-:9"_s).claim(), Claim::Owner) << "a socket nobody listens on is taken over";
    EXPECT_EQ(SingleInstance(QString(200, u'x')).claim(), Claim::Unguarded) << "longer than a socket address";
    EXPECT_EQ(SingleInstance::socketPath(u"/r"_s, u"xcb-:0/../x"_s), u"/r/tarnlet-xcb-_0_.._x.socket"_s);

    // A peer that connects and never sends its line is dropped.
    QLocalSocket silent;
    silent.connectToServer(SingleInstance::socketPath(runtime.path(), u"xcb-:7"_s));
    ASSERT_TRUE(silent.waitForConnected(2000));
    QSignalSpy dropped(&silent, &QLocalSocket::disconnected);
    EXPECT_TRUE(dropped.wait(SingleInstance::requestTimeoutMs * 3));
    qputenv("XDG_RUNTIME_DIR", previous);
}

} // namespace

// A global shortcut through a stand-in desktop portal (another process) on a private session bus.
#include "platform/freedesktop/PortalGlobalShortcut.h"

#include <QProcess>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

namespace {

using namespace Qt::StringLiterals;
using State = GlobalShortcut::State;

// The portal's next line that starts with `prefix`; the event loop runs meanwhile.
QString portalSays(QProcess &portal, const QString &prefix)
{
    while (QTest::qWaitFor([&] { return portal.canReadLine(); }, 5000)) {
        const QString line = QString::fromUtf8(portal.readLine()).trimmed();
        if (line.startsWith(prefix))
            return line;
    }
    return {};
}

TEST(PortalGlobalShortcut, BindsWithADescriptionFollowsPressesAndSaysWhereNoPortalIs)
{
    const QString description = u"Tarnlet-Overlay öffnen und anheften"_s;
    {
        PortalGlobalShortcut alone(description);
        alone.setKeys(QKeySequence(u"Ctrl+Alt+T"_s));
        EXPECT_EQ(alone.state(), State::Waiting);
        ASSERT_TRUE(QTest::qWaitFor([&] { return alone.state() == State::Unsupported; }, 5000));
    }

    QProcess portal; // it ends with its input
    portal.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    portal.start(u"/usr/bin/python3"_s, { QStringLiteral(TARNLET_FAKE_PORTAL) });
    ASSERT_EQ(portalSays(portal, u"ready"_s), u"ready"_s);
    PortalGlobalShortcut shortcut(description);
    QSignalSpy pressed(&shortcut, &GlobalShortcut::activated);
    shortcut.setKeys(QKeySequence(u"Ctrl+Alt+T"_s));
    ASSERT_TRUE(QTest::qWaitFor([&] { return shortcut.state() == State::Active; }, 5000));
    const QString bound = portalSays(portal, u"bound "_s);
    EXPECT_TRUE(bound.endsWith(u" CTRL+ALT+t "_s + description)) << bound.toStdString();
    portal.write("activate pin\n");
    ASSERT_TRUE(pressed.wait(5000));

    // Another combination: the old session closes, a new one binds it; none closes that one too.
    shortcut.setKeys(QKeySequence(u"Meta+F5"_s));
    EXPECT_EQ(portalSays(portal, u"closed "_s).mid(7), bound.section(u' ', 1, 1));
    const QString rebound = portalSays(portal, u"bound "_s);
    EXPECT_TRUE(rebound.contains(u" LOGO+F5 "_s)) << rebound.toStdString();
    ASSERT_TRUE(QTest::qWaitFor([&] { return shortcut.state() == State::Active; }, 5000));
    shortcut.setKeys(QKeySequence());
    EXPECT_EQ(shortcut.state(), State::Unset);
    EXPECT_FALSE(portalSays(portal, u"closed "_s).isEmpty());
    portal.write("activate pin\n");
    EXPECT_FALSE(pressed.wait(300)) << "a press in a closed session";
    portal.closeWriteChannel();
    portal.waitForFinished(5000);
}

} // namespace

// The desktop's animation setting read from a stand-in portal (another process) on a private
// session bus.
#include "platform/freedesktop/DesktopReduceMotion.h"

#include <QProcess>
#include <QSignalSpy>

#include <gtest/gtest.h>

TEST(DesktopReduceMotion, FollowsGnomeAndKdeSettings)
{
    QProcess portal; // it ends with its input
    portal.start(QStringLiteral("/usr/bin/python3"),
        { QStringLiteral(TARNLET_FAKE_PORTAL), QStringLiteral("org.gnome.desktop.interface enable-animations false") });
    ASSERT_TRUE(portal.waitForReadyRead(10000)) << "the portal did not start";
    DesktopReduceMotion reduceMotion;
    QSignalSpy spy(&reduceMotion, &ReduceMotion::changed);
    const std::pair<const char *, bool> steps[]
        = { { "", true }, { "org.gnome.desktop.interface enable-animations true", false },
              { "org.kde.kdeglobals.KDE AnimationDurationFactor 0.0", true },
              { "org.kde.kdeglobals.KDE AnimationDurationFactor 1.0", false } };
    for (const auto &[line, on] : steps) {
        portal.write(QByteArray(line) + '\n');
        ASSERT_TRUE(spy.wait(5000)) << line;
        EXPECT_EQ(reduceMotion.isOn(), on) << line;
    }
    // Values of the wrong type and unrelated settings change nothing.
    portal.write("org.kde.kdeglobals.KDE AnimationDurationFactor 'fast'\n"
                 "org.gnome.desktop.interface font-name 'Cantarell 11'\n");
    EXPECT_FALSE(spy.wait(500));
    EXPECT_FALSE(reduceMotion.isOn()) << "a word is no duration factor of 0";
    portal.closeWriteChannel();
    portal.waitForFinished(5000);

    // Without a portal, or without a bus, the desktop animates.
    DesktopReduceMotion alone;
    QSignalSpy quiet(&alone, &ReduceMotion::changed);
    EXPECT_FALSE(quiet.wait(500) || alone.isOn());
    EXPECT_FALSE(DesktopReduceMotion(QDBusConnection(QStringLiteral("not connected"))).isOn());
}

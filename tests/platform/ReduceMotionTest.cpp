// The desktop's animation setting and GNOME's Do Not Disturb read from a stand-in portal (another
// process) on a private session bus.
#include "platform/freedesktop/DesktopDoNotDisturb.h"
#include "platform/freedesktop/DesktopReduceMotion.h"

#include <QProcess>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

TEST(DesktopPortalSettings, FollowAnimationsAndBanners)
{
    QProcess portal; // it ends with its input
    portal.start(QStringLiteral("/usr/bin/python3"),
        { QStringLiteral(TARNLET_FAKE_PORTAL), QStringLiteral("org.gnome.desktop.interface enable-animations false"),
            QStringLiteral("org.gnome.desktop.notifications show-banners true") });
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

    // GNOME's Do Not Disturb turns its banners off.
    DesktopDoNotDisturb quiet;
    ASSERT_TRUE(QTest::qWaitFor([&] { return quiet.isKnown(); }, 5000));
    EXPECT_FALSE(quiet.isOn());
    portal.write("org.gnome.desktop.notifications show-banners false\n");
    ASSERT_TRUE(QTest::qWaitFor([&] { return quiet.isOn(); }, 5000));
    portal.closeWriteChannel();
    portal.waitForFinished(5000);

    // Without a portal, or without a bus, the desktop animates and tells no Do Not Disturb.
    DesktopReduceMotion alone;
    DesktopDoNotDisturb untold;
    QSignalSpy still(&alone, &ReduceMotion::changed);
    EXPECT_FALSE(still.wait(500) || alone.isOn() || untold.isKnown());
    EXPECT_FALSE(DesktopReduceMotion(QDBusConnection(QStringLiteral("not connected"))).isOn());
}

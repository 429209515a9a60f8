// The desktop's animation setting through a stand-in portal (another process) on a private
// session bus.
#include "platform/freedesktop/DesktopReduceMotion.h"

#include <QProcess>
#include <QSignalSpy>

#include <gtest/gtest.h>

namespace {

class Portal {
public:
    explicit Portal(const QStringList &values)
    {
        m_process.start(
            QStringLiteral("/usr/bin/python3"), QStringList { QStringLiteral(TARNLET_FAKE_PORTAL) } + values);
        EXPECT_TRUE(m_process.waitForReadyRead(10000)) << "the portal did not start";
    }
    ~Portal()
    {
        m_process.closeWriteChannel(); // it ends with its input
        if (!m_process.waitForFinished(5000))
            m_process.kill(); // by its own pid
    }
    void change(const char *line) { m_process.write(QByteArray(line) + '\n'); }

private:
    QProcess m_process;
};

TEST(DesktopReduceMotion, FollowsGnomeAndKdeSettings)
{
    Portal portal({ QStringLiteral("org.gnome.desktop.interface"), QStringLiteral("enable-animations"),
        QStringLiteral("false") });
    DesktopReduceMotion reduceMotion;
    QSignalSpy spy(&reduceMotion, &ReduceMotion::changed);
    ASSERT_TRUE(spy.wait(5000));
    EXPECT_TRUE(reduceMotion.isOn());

    portal.change("org.gnome.desktop.interface enable-animations true");
    ASSERT_TRUE(spy.wait(5000));
    EXPECT_FALSE(reduceMotion.isOn());

    portal.change("org.kde.kdeglobals.KDE AnimationDurationFactor 0");
    ASSERT_TRUE(spy.wait(5000));
    EXPECT_TRUE(reduceMotion.isOn());

    // Unrelated settings and values of the wrong type change nothing.
    portal.change("org.kde.kdeglobals.KDE AnimationDurationFactor \"fast\"");
    portal.change("org.gnome.desktop.interface font-name \"Cantarell 11\"");
    EXPECT_FALSE(spy.wait(500));
    EXPECT_TRUE(reduceMotion.isOn());
}

TEST(DesktopReduceMotion, AnimatesWithoutAPortal)
{
    DesktopReduceMotion reduceMotion;
    QSignalSpy spy(&reduceMotion, &ReduceMotion::changed);
    EXPECT_FALSE(spy.wait(500));
    EXPECT_FALSE(reduceMotion.isOn());

    DesktopReduceMotion offline(QDBusConnection(QStringLiteral("not connected")));
    EXPECT_FALSE(offline.isOn());
}

} // namespace

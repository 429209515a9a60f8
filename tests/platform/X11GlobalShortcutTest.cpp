// The global shortcut's key grab on a private X display (Xvfb), pressed with xdotool's key events.
#include "platform/x11/X11GlobalShortcut.h"

#include "platform/freedesktop/XkbKeys.h"
#include "platform/x11/Xcb.h"

#include <QProcess>
#include <QSignalSpy>

#include <gtest/gtest.h>

namespace {

using namespace Qt::StringLiterals;
using State = GlobalShortcut::State;

void xdotoolKey(const QString &keys)
{
    ASSERT_EQ(QProcess::execute(u"xdotool"_s, { u"key"_s, keys }), 0);
}

TEST(X11GlobalShortcut, FiresWithTheLocksHeldAndSaysWhenAnotherProgramHoldsIt)
{
    X11GlobalShortcut shortcut;
    QSignalSpy pressed(&shortcut, &GlobalShortcut::activated);
    shortcut.setKeys(QKeySequence(u"Ctrl+Alt+T"_s));
    ASSERT_EQ(shortcut.state(), State::Active);
    for (const QString &locks : { QString(), u"Num_Lock"_s, u"Caps_Lock"_s, u"Num_Lock Caps_Lock"_s }) {
        for (const QString &lock : locks.split(u' ', Qt::SkipEmptyParts))
            xdotoolKey(lock); // on
        xdotoolKey(u"ctrl+alt+t"_s);
        EXPECT_TRUE(pressed.wait(5000)) << locks.toStdString();
        for (const QString &lock : locks.split(u' ', Qt::SkipEmptyParts))
            xdotoolKey(lock); // off again
    }
    xdotoolKey(u"ctrl+t"_s);
    xdotoolKey(u"alt+t"_s);
    EXPECT_FALSE(pressed.wait(300)) << "the key with other modifiers";

    // Another client holds Ctrl+Shift+G: ours is refused as taken, and Ctrl+Alt+T is let go.
    xcb_connection_t *other = xcb_connect(nullptr, nullptr);
    const std::optional<std::uint8_t> g = Xcb::keycodeOf(other, XkbKeys::keyOf(Qt::Key_G)->keysym);
    ASSERT_TRUE(g);
    const xcb_void_cookie_t grab = xcb_grab_key_checked(other, 1, Xcb::rootWindow(other),
        XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_SHIFT, *g, XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC);
    ASSERT_FALSE(Xcb::own(xcb_request_check(other, grab)));
    shortcut.setKeys(QKeySequence(u"Ctrl+Shift+G"_s));
    EXPECT_EQ(shortcut.state(), State::Taken);
    xdotoolKey(u"ctrl+alt+t"_s);
    EXPECT_FALSE(pressed.wait(300)) << "the old combination is still grabbed";
    xcb_disconnect(other);
    shortcut.setKeys(QKeySequence(u"Ctrl+Shift+G"_s));
    EXPECT_EQ(shortcut.state(), State::Active) << "free once the other program has gone";
    shortcut.setKeys(QKeySequence());
    EXPECT_EQ(shortcut.state(), State::Unset);
}

} // namespace

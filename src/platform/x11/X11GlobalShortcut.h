#pragma once

#include "platform/GlobalShortcut.h"

#include <QAbstractNativeEventFilter>

#include <array>
#include <cstdint>

// A global shortcut on X11: a passive grab of the combination's key on the root window, through
// Qt's own xcb connection, so the server sends the press to us whichever window has the focus.
// The key is grabbed four times, also with Num Lock and Caps Lock held, which X counts as
// modifiers. A combination another program has grabbed already is reported as Taken. Without an
// X connection the state is Unsupported. (On XWayland a grab only fires while one of XWayland's
// windows has the focus: a Wayland session wants the portal instead.)
class X11GlobalShortcut final : public GlobalShortcut, private QAbstractNativeEventFilter {
    Q_OBJECT
public:
    explicit X11GlobalShortcut(QObject *parent = nullptr);
    ~X11GlobalShortcut() override;

    void setKeys(const QKeySequence &keys) override;
    State state() const override { return m_state; }

private:
    bool nativeEventFilter(const QByteArray &eventType, void *message, qintptr *result) override;
    void grab();
    void ungrab();
    // The combination's modifiers alone, with Caps Lock, with Num Lock, and with both.
    std::array<std::uint16_t, 4> withLocks() const;
    void setState(State state);

    QKeyCombination m_combination;
    std::uint8_t m_keycode = 0; // grabbed, or 0
    std::uint16_t m_modifiers = 0; // the combination's X modifiers
    std::uint16_t m_locks = 0; // Caps Lock's and Num Lock's modifier bits
    State m_state = State::Unset;
};

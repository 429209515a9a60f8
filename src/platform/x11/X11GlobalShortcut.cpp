#include "platform/x11/X11GlobalShortcut.h"

#include "platform/freedesktop/XkbKeys.h"
#include "platform/x11/Xcb.h"

#include <QGuiApplication>

#include <xcb/xcb.h>

#include <array>
#include <optional>
#include <utility>

namespace {

constexpr std::uint32_t numLockKeysym = 0xff7f;
constexpr std::uint8_t badAccess = 10; // the server's error when another client holds a grab

// The modifier bit Num Lock sets: the modifier whose keys include Num Lock's keycode (Mod2 on
// most keyboards).
std::uint16_t numLockMask(xcb_connection_t *connection)
{
    const std::optional<std::uint8_t> numLock = Xcb::keycodeOf(connection, numLockKeysym);
    const auto map
        = Xcb::own(xcb_get_modifier_mapping_reply(connection, xcb_get_modifier_mapping(connection), nullptr));
    if (!numLock || !map)
        return XCB_MOD_MASK_2;
    const xcb_keycode_t *keycodes = xcb_get_modifier_mapping_keycodes(map.get());
    for (int i = 0; i < 8 * map->keycodes_per_modifier; ++i) {
        if (keycodes[i] == *numLock)
            return std::uint16_t(1U << (i / map->keycodes_per_modifier));
    }
    return XCB_MOD_MASK_2;
}

std::uint16_t modifiersOf(Qt::KeyboardModifiers modifiers)
{
    std::uint16_t mask = 0;
    if (modifiers & Qt::ShiftModifier)
        mask |= XCB_MOD_MASK_SHIFT;
    if (modifiers & Qt::ControlModifier)
        mask |= XCB_MOD_MASK_CONTROL;
    if (modifiers & Qt::AltModifier)
        mask |= XCB_MOD_MASK_1;
    if (modifiers & Qt::MetaModifier)
        mask |= XCB_MOD_MASK_4;
    return mask;
}

} // namespace

X11GlobalShortcut::X11GlobalShortcut(QObject *parent)
    : GlobalShortcut(parent)
{
    if (Xcb::qtConnection())
        qGuiApp->installNativeEventFilter(this);
}

X11GlobalShortcut::~X11GlobalShortcut()
{
    ungrab();
    if (qGuiApp)
        qGuiApp->removeNativeEventFilter(this);
}

void X11GlobalShortcut::setKeys(const QKeySequence &keys)
{
    ungrab();
    m_combination = keys.isEmpty() ? QKeyCombination() : keys[0];
    grab();
}

void X11GlobalShortcut::grab()
{
    xcb_connection_t *connection = Xcb::qtConnection();
    if (m_combination.key() == Qt::Key_unknown)
        return setState(State::Unset);
    if (!connection)
        return setState(State::Unsupported);
    const std::optional<XkbKeys::Key> key = XkbKeys::keyOf(m_combination.key());
    const std::optional<std::uint8_t> keycode = key ? Xcb::keycodeOf(connection, key->keysym) : std::nullopt;
    if (!keycode)
        return setState(State::Refused);

    m_modifiers = modifiersOf(m_combination.keyboardModifiers());
    m_locks = std::uint16_t(XCB_MOD_MASK_LOCK | numLockMask(connection));
    const xcb_window_t root = Xcb::rootWindow(connection);
    const std::array<std::uint16_t, 4> variants = withLocks();
    std::array<xcb_void_cookie_t, 4> cookies {};
    for (std::size_t i = 0; i < variants.size(); ++i)
        cookies[i] = xcb_grab_key_checked(
            connection, 1, root, variants[i], *keycode, XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC);
    bool taken = false;
    bool failed = false;
    for (const xcb_void_cookie_t &cookie : cookies) {
        if (const auto error = Xcb::own(xcb_request_check(connection, cookie))) {
            failed = true;
            taken = taken || error->error_code == badAccess;
        }
    }
    m_keycode = *keycode;
    if (failed) {
        // Half a grab would fire only with some of the locks: none at all is clearer.
        ungrab();
        return setState(taken ? State::Taken : State::Refused);
    }
    setState(State::Active);
}

void X11GlobalShortcut::ungrab()
{
    const std::uint8_t keycode = std::exchange(m_keycode, 0);
    xcb_connection_t *connection = Xcb::qtConnection();
    if (!connection || keycode == 0)
        return;
    // Releases only our own grabs: the server keeps another client's.
    const xcb_window_t root = Xcb::rootWindow(connection);
    for (const std::uint16_t modifiers : withLocks())
        xcb_ungrab_key(connection, keycode, root, modifiers);
    xcb_flush(connection);
}

bool X11GlobalShortcut::nativeEventFilter(const QByteArray &, void *message, qintptr *)
{
    const auto *event = static_cast<const xcb_generic_event_t *>(message);
    const std::uint8_t type = event->response_type & 0x7f;
    if (type == XCB_MAPPING_NOTIFY) {
        // Another keyboard layout may put the key elsewhere: grab it again where it is now.
        if (m_keycode != 0) {
            ungrab();
            grab();
        }
        return false;
    }
    if (type != XCB_KEY_PRESS || m_keycode == 0)
        return false;
    const auto *press = static_cast<const xcb_key_press_event_t *>(message);
    if (press->detail != m_keycode || (press->state & ~m_locks & 0xff) != m_modifiers)
        return false;
    Q_EMIT activated();
    return true;
}

std::array<std::uint16_t, 4> X11GlobalShortcut::withLocks() const
{
    const auto with = [this](unsigned locks) { return std::uint16_t(m_modifiers | locks); };
    return { with(0), with(XCB_MOD_MASK_LOCK), with(m_locks & ~unsigned(XCB_MOD_MASK_LOCK)), with(m_locks) };
}

void X11GlobalShortcut::setState(State state)
{
    if (std::exchange(m_state, state) != state)
        Q_EMIT stateChanged();
}

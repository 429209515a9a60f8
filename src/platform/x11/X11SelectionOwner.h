#pragma once

#include <QAbstractNativeEventFilter>
#include <QObject>

#include <cstdint>

typedef struct xcb_connection_t xcb_connection_t;

// Follows whether some client owns an X selection of the first screen, such as a compositing
// manager's _NET_WM_CM_S0 or a tray host's _NET_SYSTEM_TRAY_S0. The X server reports each change
// of owner through XFixes on Qt's own connection, so nothing polls.
class X11SelectionOwner final : public QObject, private QAbstractNativeEventFilter {
    Q_OBJECT
public:
    explicit X11SelectionOwner(const char *selection, QObject *parent = nullptr);
    ~X11SelectionOwner() override;

    bool isOwned() const { return m_owned; }
    // False without an X connection with XFixes; isOwned() is then only the state at creation.
    bool isWatching() const { return m_fixesFirstEvent != 0; }

Q_SIGNALS:
    void ownedChanged(bool owned);

private:
    bool nativeEventFilter(const QByteArray &eventType, void *message, qintptr *result) override;

    std::uint32_t m_selection = 0;
    std::uint8_t m_fixesFirstEvent = 0;
    bool m_owned = false;
};

#pragma once

#include <QAbstractNativeEventFilter>
#include <QObject>
#include <QRect>

#include <cstdint>
#include <optional>

typedef struct xcb_connection_t xcb_connection_t;

// Follows the active window and whether it is full-screen, from what the window manager
// publishes: _NET_ACTIVE_WINDOW on the root window and _NET_WM_STATE on the active window, both
// read when the server reports that they changed (PropertyNotify), never polled.
class X11ActiveWindowWatcher final : public QObject, private QAbstractNativeEventFilter {
    Q_OBJECT
public:
    explicit X11ActiveWindowWatcher(QObject *parent = nullptr);
    ~X11ActiveWindowWatcher() override;

    // The active window's rectangle in Qt's global coordinates while it is full-screen.
    std::optional<QRect> fullScreenWindow() const { return m_fullScreen; }

Q_SIGNALS:
    void changed();

private:
    bool nativeEventFilter(const QByteArray &eventType, void *message, qintptr *result) override;
    void followActiveWindow();
    void readState();
    // Adds property notices to what this client hears from `window`; returns the mask before.
    std::uint32_t watchProperties(std::uint32_t window);

    xcb_connection_t *m_connection = nullptr;
    std::uint32_t m_root = 0;
    std::uint32_t m_activeAtom = 0;
    std::uint32_t m_stateAtom = 0;
    std::uint32_t m_fullScreenAtom = 0;
    std::uint32_t m_active = 0;
    std::uint32_t m_activeMaskBefore = 0;
    std::optional<QRect> m_fullScreen;
};

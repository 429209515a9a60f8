#pragma once

#include "platform/DesktopServices.h"

#include <QMenu>
#include <QPointer>
#include <QRegion>

// A desktop without a window system, for Qt's offscreen platform: nothing reaches it from outside,
// so its owner (a test, a tool) says what the screens, the pointer, the motion setting and the
// status area are, and each service reports that as a real backend would.

// Screens as set, with optional camera housings, and a full-screen window when one is set.
class HeadlessScreenProvider final : public ScreenProvider {
    Q_OBJECT
public:
    using ScreenProvider::ScreenProvider;

    QList<ScreenInfo> screens() const override { return m_screens; }
    std::optional<ScreenInfo> mainScreen() const override { return m_main; }
    std::optional<QRectF> activeFullScreenWindow() const override { return m_fullScreenWindow; }

    // Replaces the screens and sends one change notice.
    void setScreens(QList<ScreenInfo> screens, std::optional<ScreenInfo> mainScreen);
    void setFullScreenWindow(std::optional<QRectF> frame);

    // A screen without a housing, its work area the whole frame.
    static ScreenInfo plain(QRectF frame, const QString &name = QStringLiteral("plain"));

private:
    QList<ScreenInfo> m_screens;
    std::optional<ScreenInfo> m_main;
    std::optional<QRectF> m_fullScreenWindow;
};

// A pointer moved and pressed by its owner. Set not global, it stands for a monitor that sees only
// our own windows.
class HeadlessPointerMonitor final : public PointerMonitor {
    Q_OBJECT
public:
    using PointerMonitor::PointerMonitor;

    QPointF position() const override { return m_position; }
    bool isGlobal() const override { return m_global; }

    void setGlobal(bool global) { m_global = global; }
    void moveTo(QPointF position);
    void clickAt(QPointF position, PointerEventType press = PointerEventType::LeftMouseDown);
    // The pointer leaves our windows; its position stays where it was last seen.
    void leave();

private:
    QPointF m_position;
    bool m_global = true;
};

// The overlay's window as is: offscreen windows are composited, so no shape mask is needed. It
// remembers where the window takes pointer input.
class HeadlessPanelWindowSupport final : public PanelWindowSupport {
    Q_OBJECT
public:
    using PanelWindowSupport::PanelWindowSupport;

    void prepare(QWidget &) override { }
    void setClickThrough(QWidget &panel, bool clickThrough) override;
    void setInputRegion(QWidget &, const QRegion &region) override { m_inputRegion = region; }
    bool needsShapeMask() const override { return false; }

    // Where the window takes pointer input, in window coordinates: empty while click-through.
    QRegion inputRegion() const { return m_inputRegion; }

private:
    QRegion m_inputRegion;
};

class HeadlessReduceMotion final : public ReduceMotion {
    Q_OBJECT
public:
    using ReduceMotion::ReduceMotion;

    bool isOn() const override { return m_on; }
    void setOn(bool on);

private:
    bool m_on = false;
};

// A notification service whose presence its owner sets; it keeps what it was sent.
class HeadlessNotifier final : public DesktopNotifier {
    Q_OBJECT
public:
    using DesktopNotifier::DesktopNotifier;

    bool isAvailable() const override { return m_available; }
    void notify(const Notification &notification) override;

    void setAvailable(bool available);
    const QList<Notification> &sent() const { return m_sent; }

private:
    bool m_available = false;
    QList<Notification> m_sent;
};

// A global shortcut that takes any combination (or answers as its owner says) and is pressed by
// its owner.
class HeadlessGlobalShortcut final : public GlobalShortcut {
    Q_OBJECT
public:
    using GlobalShortcut::GlobalShortcut;

    void setKeys(const QKeySequence &keys) override;
    State state() const override { return m_state; }

    QKeySequence keys() const { return m_keys; }
    // What a combination gets from now on (Active unless set), and at once if one is set.
    void setAnswer(State answer);
    // Reports a press while the combination is active.
    void press();

private:
    QKeySequence m_keys;
    State m_answer = State::Active;
    State m_state = State::Unset;
};

// A Do Not Disturb its owner switches; unknown until told.
class HeadlessDoNotDisturb final : public DoNotDisturb {
    Q_OBJECT
public:
    using DoNotDisturb::DoNotDisturb;

    bool isKnown() const override { return m_known; }
    bool isOn() const override { return m_on; }
    void set(bool known, bool on);

private:
    bool m_known = false;
    bool m_on = false;
};

// A status item that keeps what it was given; whether a status area is there is set by its owner.
class HeadlessStatusItem final : public StatusItem {
    Q_OBJECT
public:
    explicit HeadlessStatusItem(bool available = true, QObject *parent = nullptr);

    bool isAvailable() const override { return m_available; }
    void setSymbol(const QString &symbolName, const QString &accessibleDescription) override;
    void setMenu(QMenu *menu) override { m_menu = menu; }
    void setStatus(const QString &toolTip, Attention attention) override;
    void show() override { m_shown = true; }

    QString symbol() const { return m_symbol; }
    QString accessibleDescription() const { return m_description; }
    QMenu *menu() const { return m_menu; }
    QString toolTip() const { return m_toolTip; }
    Attention attention() const { return m_attention; }
    bool isShown() const { return m_shown; }

private:
    bool m_available;
    bool m_shown = false;
    QString m_symbol;
    QString m_description;
    QPointer<QMenu> m_menu;
    QString m_toolTip;
    Attention m_attention = Attention::None;
};

// A headless desktop with one screen, which is the main one, and a status area; no notification
// service, a global shortcut that takes any combination, no Do Not Disturb.
DesktopServices createHeadlessDesktopServices(const ScreenInfo &screen);

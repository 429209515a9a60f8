#pragma once

#include "platform/DesktopServices.h"
#include "platform/PanelWindowSupport.h"
#include "platform/PointerMonitor.h"
#include "platform/ReduceMotion.h"
#include "platform/ScreenProvider.h"
#include "platform/StatusItem.h"

#include <QMenu>
#include <QPointer>
#include <QRegion>
#include <QWidget>

#include <memory>

// Desktop services for unit tests: screens, pointer, status item and settings as the test sets them.

// Screens with optional camera housings.
class FakeScreenProvider final : public ScreenProvider {
public:
    QList<ScreenInfo> all;
    std::optional<ScreenInfo> main;
    std::optional<QRectF> fullScreenWindow;

    QList<ScreenInfo> screens() const override { return all; }
    std::optional<ScreenInfo> mainScreen() const override { return main; }
    std::optional<QRectF> activeFullScreenWindow() const override { return fullScreenWindow; }
    void setFullScreenWindow(std::optional<QRectF> frame)
    {
        fullScreenWindow = frame;
        Q_EMIT activeFullScreenWindowChanged();
    }
    // Replaces the screens and sends one change notice.
    void change(QList<ScreenInfo> screens, std::optional<ScreenInfo> mainScreen)
    {
        all = std::move(screens);
        main = std::move(mainScreen);
        Q_EMIT screensChanged();
    }

    static ScreenInfo plain(QRectF frame, const QString &name = QStringLiteral("plain"))
    {
        return ScreenInfo { name, frame, 0, {}, {}, frame };
    }
    // A screen whose housing is `notchWidth` wide and `inset` high, centred at the top.
    static ScreenInfo notched(QRectF frame, double notchWidth, double inset)
    {
        const double side = (frame.width() - notchWidth) / 2;
        const double top = frame.y();
        return ScreenInfo { QStringLiteral("notched"), frame, inset, QRectF(frame.x(), top, side, inset),
            QRectF(frame.right() - side, top, side, inset), frame };
    }
};

// A pointer the test moves and clicks by hand; `global` false stands for a monitor that sees only
// our own windows.
class FakePointerMonitor final : public PointerMonitor {
public:
    QPointF at;
    bool global = true;

    QPointF position() const override { return at; }
    bool isGlobal() const override { return global; }
    void moveTo(QPointF point)
    {
        at = point;
        Q_EMIT pointerEvent(PointerEventType::MouseMoved);
    }
    void clickAt(QPointF point)
    {
        at = point;
        Q_EMIT pointerEvent(PointerEventType::LeftMouseDown);
    }
    // The pointer leaves our windows; its position stays where it was last seen.
    void leave() { Q_EMIT pointerEvent(PointerEventType::Left); }
};

class FakePanelWindowSupport final : public PanelWindowSupport {
public:
    bool shapeMask = false;
    int prepared = 0;

    void prepare(QWidget &) override { ++prepared; }
    void setClickThrough(QWidget &, bool clickThrough) override
    {
        inputRegion = clickThrough ? QRegion() : QRegion(0, 0, 1 << 15, 1 << 15);
    }
    void setInputRegion(QWidget &, const QRegion &region) override { inputRegion = region; }
    // Where the panel takes pointer input: empty while click-through.
    QRegion inputRegion;
    bool needsShapeMask() const override { return shapeMask; }
};

class FakeReduceMotion final : public ReduceMotion {
public:
    bool on = false;
    bool isOn() const override { return on; }
};

// A status item that records what it was given; `available` says whether a status area exists.
class FakeStatusItem final : public StatusItem {
public:
    explicit FakeStatusItem(bool available = true)
        : m_available(available)
    { }
    ~FakeStatusItem() override
    {
        if (menuAliveAtDestruction)
            *menuAliveAtDestruction = !menu.isNull();
    }
    bool isAvailable() const override { return m_available; }
    void setSymbol(const QString &name, const QString &accessibleDescription) override
    {
        symbol = name;
        description = accessibleDescription;
    }
    void setMenu(QMenu *m) override { menu = m; }
    void setStatus(const QString &text, Attention dot) override
    {
        toolTip = text;
        attention = dot;
    }
    void show() override { shown = true; }
    void setAvailable(bool available)
    {
        m_available = available;
        Q_EMIT availabilityChanged();
    }

    QString symbol;
    QString description;
    QString toolTip;
    Attention attention = Attention::None;
    QPointer<QMenu> menu;
    bool shown = false;
    bool *menuAliveAtDestruction = nullptr; // set when the item goes, if given

private:
    bool m_available;
};

// Fake desktop services on one screen, for building the whole application in-process. The
// concrete fakes are reached through static_cast where a test drives them.
inline DesktopServices fakeDesktopServices(const ScreenInfo &screen)
{
    auto screens = std::make_unique<FakeScreenProvider>();
    screens->change({ screen }, screen);
    return DesktopServices { std::move(screens), std::make_unique<FakePointerMonitor>(),
        std::make_unique<FakePanelWindowSupport>(), std::make_unique<FakeReduceMotion>() };
}

#include "platform/headless/HeadlessDesktop.h"

#include <QWidget>

#include <utility>

void HeadlessScreenProvider::setScreens(QList<ScreenInfo> screens, std::optional<ScreenInfo> mainScreen)
{
    m_screens = std::move(screens);
    m_main = std::move(mainScreen);
    Q_EMIT screensChanged();
}

void HeadlessScreenProvider::setFullScreenWindow(std::optional<QRectF> frame)
{
    m_fullScreenWindow = frame;
    Q_EMIT activeFullScreenWindowChanged();
}

ScreenInfo HeadlessScreenProvider::plain(QRectF frame, const QString &name)
{
    return ScreenInfo { name, frame, 0, {}, {}, frame };
}

void HeadlessPointerMonitor::moveTo(QPointF position)
{
    m_position = position;
    Q_EMIT pointerEvent(PointerEventType::MouseMoved);
}

void HeadlessPointerMonitor::clickAt(QPointF position, PointerEventType press)
{
    m_position = position;
    Q_EMIT pointerEvent(press);
}

void HeadlessPointerMonitor::leave()
{
    Q_EMIT pointerEvent(PointerEventType::Left);
}

void HeadlessPanelWindowSupport::setClickThrough(QWidget &panel, bool clickThrough)
{
    m_inputRegion = clickThrough ? QRegion() : QRegion(panel.rect());
}

void HeadlessReduceMotion::setOn(bool on)
{
    if (on == m_on)
        return;
    m_on = on;
    Q_EMIT changed();
}

void HeadlessNotifier::notify(const Notification &notification)
{
    if (m_available)
        m_sent << notification;
}

void HeadlessNotifier::setAvailable(bool available)
{
    if (available == m_available)
        return;
    m_available = available;
    Q_EMIT availabilityChanged(available);
}

HeadlessStatusItem::HeadlessStatusItem(bool available, QObject *parent)
    : StatusItem(parent)
    , m_available(available)
{ }

void HeadlessStatusItem::setSymbol(const QString &symbolName, const QString &accessibleDescription)
{
    m_symbol = symbolName;
    m_description = accessibleDescription;
}

void HeadlessStatusItem::setStatus(const QString &toolTip, Attention attention)
{
    m_toolTip = toolTip;
    m_attention = attention;
}

void HeadlessGlobalShortcut::setKeys(const QKeySequence &keys)
{
    m_keys = keys;
    const State state = keys.isEmpty() ? State::Unset : m_answer;
    if (std::exchange(m_state, state) != state)
        Q_EMIT stateChanged();
}

void HeadlessGlobalShortcut::setAnswer(State answer)
{
    m_answer = answer;
    setKeys(m_keys);
}

void HeadlessGlobalShortcut::press()
{
    if (m_state == State::Active)
        Q_EMIT activated();
}

void HeadlessDoNotDisturb::set(bool known, bool on)
{
    m_known = known;
    m_on = on;
    Q_EMIT changed();
}

DesktopServices createHeadlessDesktopServices(const ScreenInfo &screen)
{
    auto screens = std::make_unique<HeadlessScreenProvider>();
    screens->setScreens({ screen }, screen);
    return DesktopServices { std::move(screens), std::make_unique<HeadlessPointerMonitor>(),
        std::make_unique<HeadlessPanelWindowSupport>(), std::make_unique<HeadlessReduceMotion>(),
        std::make_unique<HeadlessNotifier>(), [] { return std::make_unique<HeadlessStatusItem>(); },
        std::make_unique<HeadlessGlobalShortcut>(), std::make_unique<HeadlessDoNotDisturb>() };
}

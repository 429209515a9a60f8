#include "platform/qt/TrayStatusItem.h"

#include "core/Color.h"
#include "widgets/SymbolImage.h"

#include <QApplication>
#include <QEvent>
#include <QMenu>
#include <QPainter>
#include <QPalette>
#include <QScreen>
#include <QTextDocument>

TrayStatusItem::TrayStatusItem(QObject *parent)
    : StatusItem(parent)
{
    // Tray hosts send a left click as a plain activation; the menu is what the item is for.
    connect(&m_tray, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        if (reason == QSystemTrayIcon::Trigger && m_menu)
            m_menu->popup(menuPosition());
    });
    qApp->installEventFilter(this);
}

TrayStatusItem::~TrayStatusItem()
{
    qApp->removeEventFilter(this);
}

bool TrayStatusItem::isAvailable() const
{
    return QSystemTrayIcon::isSystemTrayAvailable();
}

void TrayStatusItem::setSymbol(const QString &symbolName, const QString &accessibleDescription)
{
    m_symbol = symbolName;
    m_tray.setToolTip(accessibleDescription);
    buildIcons();
}

void TrayStatusItem::setMenu(QMenu *menu)
{
    m_menu = menu;
    m_tray.setContextMenu(menu);
}

void TrayStatusItem::setStatus(const QString &toolTip, Attention attention)
{
    // A tooltip is rich text whenever Qt takes it for rich text: such a line is handed over
    // escaped, as rich text that shows it as written. Others stay plain, for hosts that show plain text.
    const QString shown = Qt::mightBeRichText(toolTip) ? Qt::convertFromPlainText(toolTip) : toolTip;
    if (m_tray.toolTip() != shown)
        m_tray.setToolTip(shown);
    if (attention == m_attention)
        return;
    m_attention = attention;
    m_tray.setIcon(m_icons[size_t(attention)]);
}

void TrayStatusItem::show()
{
    m_tray.show();
}

bool TrayStatusItem::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::ApplicationPaletteChange && watched == qApp)
        buildIcons();
    return false;
}

QPoint TrayStatusItem::menuPosition() const
{
    const QRect icon = m_tray.geometry();
    if (!icon.isValid())
        return QCursor::pos();
    // Below the icon on a top panel, above it on a bottom panel, never over it.
    const QScreen *screen = QGuiApplication::screenAt(icon.center());
    const int height = m_menu->sizeHint().height();
    if (screen && icon.bottom() + height > screen->availableGeometry().bottom())
        return QPoint(icon.left(), icon.top() - height);
    return icon.bottomLeft() + QPoint(0, 1);
}

void TrayStatusItem::setPanelColourKnown(bool known)
{
    if (known == m_panelColourKnown)
        return;
    m_panelColourKnown = known;
    buildIcons();
}

namespace {

// The sizes tray hosts ask for; others are scaled from the nearest.
constexpr int iconSides[] = { 16, 22, 24, 32, 48, 64 };

// The icon as pixmaps at every size hosts ask for. A StatusNotifierItem host takes a named icon's
// name for a theme icon to look up, and the symbol's name is none: sent as pixmaps, it has none.
QIcon unnamed(const QIcon &symbol)
{
    QIcon icon;
    for (const int side : iconSides)
        icon.addPixmap(symbol.pixmap(QSize(side, side), 1.0));
    return icon;
}

// The symbol in white over a dark outline one pixel wide (two from 32 pixels on).
QIcon outlinedSymbol(const QString &symbol)
{
    const QIcon outline = SymbolImage::icon(symbol, QColor(0, 0, 0, 220));
    const QIcon fill = SymbolImage::icon(symbol, Qt::white);
    QIcon icon;
    for (const int side : iconSides) {
        const int width = side >= 32 ? 2 : 1;
        const QSize inner(side - 2 * width, side - 2 * width);
        QPixmap pixmap(side, side);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        for (int dx = -width; dx <= width; ++dx) {
            for (int dy = -width; dy <= width; ++dy)
                painter.drawPixmap(width + dx, width + dy, outline.pixmap(inner, 1.0));
        }
        painter.drawPixmap(width, width, fill.pixmap(inner, 1.0));
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

} // namespace

void TrayStatusItem::buildIcons()
{
    // Panels follow the desktop's theme: a dark window colour means a dark panel.
    const bool darkPanel = !m_panelColourKnown || QApplication::palette().color(QPalette::Window).lightness() < 128;
    const QColor panel = darkPanel ? Qt::black : Qt::white;
    const QIcon plain = m_panelColourKnown ? unnamed(SymbolImage::icon(m_symbol, darkPanel ? Qt::white : Qt::black))
                                           : outlinedSymbol(m_symbol);
    const auto withDot = [&](Color dot) {
        QIcon icon;
        for (const int side : iconSides) {
            QPixmap pixmap = plain.pixmap(QSize(side, side), 1.0);
            QPainter painter(&pixmap);
            painter.setRenderHint(QPainter::Antialiasing);
            // A ring in the panel's colour keeps the dot apart from the symbol under it.
            const double diameter = side * 0.44;
            const QRectF box(side - diameter, 0, diameter, diameter);
            painter.setPen(QPen(panel, std::max(1.0, side / 16.0)));
            painter.setBrush(dot.toQColor());
            painter.drawEllipse(box.adjusted(0.5, 0.5, -0.5, -0.5));
            painter.end();
            icon.addPixmap(pixmap);
        }
        return icon;
    };
    m_icons = { plain, withDot(Color::orange()), withDot(Color::red()) };
    m_tray.setIcon(m_icons[size_t(m_attention)]);
}

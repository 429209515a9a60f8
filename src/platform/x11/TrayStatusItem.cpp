#include "platform/x11/TrayStatusItem.h"

#include "core/SymbolImage.h"

#include <QApplication>
#include <QEvent>
#include <QMenu>
#include <QPalette>
#include <QScreen>

TrayStatusItem::TrayStatusItem(QObject *parent)
    : StatusItem(parent)
    , m_trayHost("_NET_SYSTEM_TRAY_S0")
{
    connect(&m_trayHost, &X11SelectionOwner::ownedChanged, this, &StatusItem::availabilityChanged);
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
    // Qt remembers a tray host for a moment after it has gone; the selection's owner is current.
    return m_trayHost.isWatching() ? m_trayHost.isOwned() : QSystemTrayIcon::isSystemTrayAvailable();
}

void TrayStatusItem::setSymbol(const QString &symbolName, const QString &accessibleDescription)
{
    m_symbol = symbolName;
    m_tray.setToolTip(accessibleDescription);
    updateIcon();
}

void TrayStatusItem::setMenu(QMenu *menu)
{
    m_menu = menu;
    m_tray.setContextMenu(menu);
}

void TrayStatusItem::show()
{
    m_tray.show();
}

bool TrayStatusItem::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::ApplicationPaletteChange && watched == qApp)
        updateIcon();
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

void TrayStatusItem::updateIcon()
{
    // Panels follow the desktop's theme: a dark window colour means a dark panel.
    const bool darkPanel = QApplication::palette().color(QPalette::Window).lightness() < 128;
    m_tray.setIcon(SymbolImage::icon(m_symbol, darkPanel ? Qt::white : Qt::black));
}

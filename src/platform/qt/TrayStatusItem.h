#pragma once

#include "platform/StatusItem.h"

#include <array>

#include <QIcon>
#include <QPointer>
#include <QSystemTrayIcon>

class QMenu;

// The status item as a Qt system-tray icon (XEmbed tray hosts on X11, StatusNotifier hosts over
// D-Bus). Both buttons open the menu, as a status-bar item does. The monochrome symbol is white on
// dark panels and black on light ones, following the desktop palette as it changes; where the
// panel's colour is unknown (a StatusNotifier host reports none) it is white with a dark outline,
// seen on either. An orange or red dot in its corner carries the attention state. Qt says whether a tray host is there
// when asked but not when that changes; a backend whose window system tells overrides isAvailable() and sends
// availabilityChanged().
class TrayStatusItem : public StatusItem {
    Q_OBJECT
public:
    explicit TrayStatusItem(QObject *parent = nullptr);
    ~TrayStatusItem() override;

    bool isAvailable() const override;
    void setSymbol(const QString &symbolName, const QString &accessibleDescription) override;
    void setMenu(QMenu *menu) override;
    void setStatus(const QString &toolTip, Attention attention) override;
    void show() override;

    // What the tray shows now.
    QIcon icon() const { return m_tray.icon(); }
    QString toolTip() const { return m_tray.toolTip(); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    // Draws the symbol to be seen on any panel, for hosts that do not tell the panel's colour.
    void setPanelColourKnown(bool known);

private:
    QPoint menuPosition() const;
    void buildIcons();

    QSystemTrayIcon m_tray;
    QPointer<QMenu> m_menu;
    QString m_symbol;
    Attention m_attention = Attention::None;
    bool m_panelColourKnown = true;
    // One icon per attention state, made when the symbol or the panel's look changes.
    std::array<QIcon, 3> m_icons;
};

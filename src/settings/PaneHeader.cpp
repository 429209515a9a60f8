#include "settings/PaneHeader.h"

#include "widgets/SettingsStyle.h"
#include "widgets/SymbolImage.h"

#include <QPainter>

PaneHeader::PaneHeader(QWidget *parent)
    : QWidget(parent)
{
    SettingsStyle::setFont(*this, 30, QFont::Bold);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void PaneHeader::setPane(const SettingsPane &pane)
{
    m_pane = pane;
    setAccessibleName(pane.title);
    updateGeometry();
    update();
}

QSize PaneHeader::sizeHint() const
{
    const QFontMetrics metrics(font());
    return { 34 + 12 + metrics.horizontalAdvance(m_pane.title), std::max(34, metrics.height()) };
}

void PaneHeader::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QColor color = SettingsStyle::primary(*this);
    // A 26 px semibold glyph fills about a 30 px box.
    SymbolImage::paint(painter, QRectF(2, (height() - 30) / 2.0, 30, 30), m_pane.symbol, color);
    painter.setPen(color);
    painter.setFont(font());
    painter.drawText(QRectF(34 + 12, 0, width() - 46, height()), Qt::AlignVCenter | Qt::AlignLeft, m_pane.title);
}

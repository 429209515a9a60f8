#include "settings/SidebarDelegate.h"

#include "settings/SettingsSidebar.h"
#include "widgets/SettingsStyle.h"
#include "widgets/SymbolImage.h"

#include <QPainter>

namespace {

constexpr int rowHeight = 44;
constexpr int gap = 4;
// The divider's hairline with 16 px beside it and 10 px above and below.
constexpr QMargins dividerMargins { 16, 10, 16, 10 };
// The header's text with 10 px beside it, 10 above and 2 below.
constexpr QMargins headerMargins { 10, 10, 10, 2 };

QFont headerFont(const QWidget &view)
{
    return SettingsStyle::font(view, 12, QFont::Medium);
}

void paintPane(QPainter &painter, const QStyleOptionViewItem &option, const QModelIndex &index)
{
    const QWidget &view = *option.widget;
    const QRectF bounds(option.rect.x(), option.rect.y(), option.rect.width(), rowHeight);
    if (option.state & QStyle::State_Selected) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(SettingsStyle::primary(view, 0.12));
        painter.drawPath(SettingsStyle::continuousRoundedRect(bounds, 12));
    }
    if (option.state & QStyle::State_HasFocus)
        SettingsStyle::strokeInside(painter, bounds, 12, SettingsStyle::tint());

    // Padding 8, then the 30 px tile, 12 spacing and the title.
    const QRectF tile(bounds.x() + 8, bounds.y() + (rowHeight - 30) / 2.0, 30, 30);
    painter.setPen(Qt::NoPen);
    painter.setBrush(SettingsStyle::primary(view, 0.08));
    painter.drawPath(SettingsStyle::continuousRoundedRect(tile, 8));
    SettingsStyle::strokeInside(painter, tile, 8, SettingsStyle::primary(view, 0.1));
    SymbolImage::paint(painter, tile.adjusted(7, 7, -7, -7), index.data(SidebarModel::SymbolRole).toString(),
        SettingsStyle::primary(view));

    const QFont font = SettingsStyle::font(view, 14, QFont::Medium);
    const QRectF title(tile.right() + 12, bounds.y(), bounds.right() - tile.right() - 12 - 8, rowHeight);
    painter.setPen(SettingsStyle::primary(view));
    painter.setFont(font);
    painter.drawText(title, Qt::AlignVCenter | Qt::AlignLeft,
        QFontMetrics(font).elidedText(index.data().toString(), Qt::ElideRight, int(title.width())));
}

} // namespace

void SidebarDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    const QWidget &view = *option.widget;
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    switch (SidebarModel::kind(index)) {
    case SidebarModel::Kind::Pane:
        paintPane(*painter, option, index);
        break;
    case SidebarModel::Kind::Header:
        painter->setPen(SettingsStyle::secondary(view));
        painter->setFont(headerFont(view));
        painter->drawText(option.rect.adjusted(0, 0, 0, -gap).marginsRemoved(headerMargins),
            Qt::AlignVCenter | Qt::AlignLeft, index.data().toString());
        break;
    case SidebarModel::Kind::Divider:
        painter->fillRect(option.rect.x() + dividerMargins.left(), option.rect.y() + dividerMargins.top(),
            option.rect.width() - dividerMargins.left() - dividerMargins.right(), 1,
            SettingsStyle::primary(view, 0.08));
        break;
    }
    painter->restore();
}

QSize SidebarDelegate::sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    switch (SidebarModel::kind(index)) {
    case SidebarModel::Kind::Pane:
        return { 200, rowHeight + gap };
    case SidebarModel::Kind::Header:
        return { 200,
            QFontMetrics(headerFont(*option.widget)).height() + headerMargins.top() + headerMargins.bottom() + gap };
    case SidebarModel::Kind::Divider:
        break;
    }
    return { 200, 1 + dividerMargins.top() + dividerMargins.bottom() + gap };
}

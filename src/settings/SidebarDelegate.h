#pragma once

#include <QStyledItemDelegate>

// Paints the sidebar's rows as the settings window draws them: a pane as its symbol on a small
// rounded tile and its title, on a rounded highlight while selected and ringed while it has the
// keyboard focus; a group's header in small secondary text; the divider as a hairline. Each row
// keeps 4 px free below it.
class SidebarDelegate final : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;
};

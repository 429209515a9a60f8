#pragma once

#include <QVBoxLayout>

// The vertical stack every pane puts its sections in.
inline QVBoxLayout *makePaneLayout(QWidget &pane)
{
    auto *layout = new QVBoxLayout(&pane);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(20);
    return layout;
}

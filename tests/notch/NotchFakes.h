#pragma once

#include "RowModule.h"
#include "UrlSink.h"

#include <QList>
#include <QUrl>

// Rows titled "<prefix> 1", "<prefix> 2" …, each opening its own run page.
inline QList<ModuleRow> numberedRows(int count, const QString &prefix = QStringLiteral("Row"))
{
    QList<ModuleRow> rows;
    for (int i = 1; i <= count; ++i)
        rows.append(ModuleRow { QStringLiteral("%1 %2").arg(prefix).arg(i), QStringLiteral("main"), std::nullopt,
            Color::green(), QUrl(QStringLiteral("https://github.com/o/r/actions/runs/%1").arg(i)) });
    return rows;
}

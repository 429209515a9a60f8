#pragma once

#include "RowModule.h"

#include <QDesktopServices>
#include <QList>
#include <QObject>
#include <QUrl>

// Takes the addresses the program hands the desktop to open, for as long as it lives.
class OpenedUrls final : public QObject {
    Q_OBJECT
public:
    OpenedUrls() { QDesktopServices::setUrlHandler(QStringLiteral("https"), this, "open"); }
    ~OpenedUrls() override { QDesktopServices::unsetUrlHandler(QStringLiteral("https")); }

    QList<QUrl> urls;

public Q_SLOTS:
    void open(const QUrl &url) { urls.append(url); }
};

// Rows titled "<prefix> 1", "<prefix> 2" …, each opening its own run page.
inline QList<ModuleRow> numberedRows(int count, const QString &prefix = QStringLiteral("Row"))
{
    QList<ModuleRow> rows;
    for (int i = 1; i <= count; ++i)
        rows.append(ModuleRow { QStringLiteral("%1 %2").arg(prefix).arg(i), QStringLiteral("main"), std::nullopt,
            Color::green(), QUrl(QStringLiteral("https://github.com/o/r/actions/runs/%1").arg(i)) });
    return rows;
}

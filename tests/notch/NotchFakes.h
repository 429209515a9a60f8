#pragma once

#include "core/DevModule.h"

#include <QDesktopServices>
#include <QList>
#include <QObject>
#include <QUrl>

// A module whose rows and status the test sets; each change is announced before it is made, as
// real modules do.
class RowModule final : public DevModule {
public:
    explicit RowModule(QString id, QList<ModuleRow> rows = {})
        : m_id(std::move(id))
        , m_rows(std::move(rows))
    { }

    QString id() const override { return m_id; }
    QString title() const override { return m_id; }
    QString symbol() const override { return QStringLiteral("gearshape"); }
    std::optional<ModuleStatus> compactStatus() const override { return m_status; }
    QList<ModuleRow> overlayRows() const override { return m_rows; }
    void start() override { }
    void stop() override { }

    void setRows(QList<ModuleRow> rows)
    {
        Q_EMIT willChange();
        m_rows = std::move(rows);
    }
    void setStatus(std::optional<ModuleStatus> status)
    {
        Q_EMIT willChange();
        m_status = std::move(status);
    }

private:
    QString m_id;
    QList<ModuleRow> m_rows;
    std::optional<ModuleStatus> m_status;
};

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

#pragma once

#include "core/DevModule.h"

#include <QStringList>

// A module whose rows and status the test sets; each change is announced after it is made, as
// real modules do. It counts its starts and stops and can log its starts in a shared list.
class RowModule final : public DevModule {
public:
    explicit RowModule(QString id, QList<ModuleRow> rows = {})
        : m_id(std::move(id))
        , m_rows(std::move(rows))
    { }

    QString id() const override { return m_id; }
    QString title() const override { return titleText.isEmpty() ? m_id : titleText; }
    QString symbol() const override { return QStringLiteral("gearshape"); }
    std::optional<ModuleStatus> compactStatus() const override { return m_status; }
    QList<ModuleRow> overlayRows() const override { return m_rows; }
    QList<ModuleNewsKind> newsKinds() const override { return kinds; }
    ModuleCounts counts() const override { return m_counts; }
    void start() override
    {
        ++starts;
        if (startLog)
            startLog->append(m_id);
    }
    void stop() override { ++stops; }

    void setRows(QList<ModuleRow> rows)
    {
        m_rows = std::move(rows);
        Q_EMIT changed();
    }
    void setStatus(std::optional<ModuleStatus> status, ModuleCounts counts = {})
    {
        m_status = std::move(status);
        m_counts = counts;
        Q_EMIT changed();
    }

    int starts = 0;
    int stops = 0;
    QStringList *startLog = nullptr; // where each start writes the id, when set
    QString titleText; // the title, when other than the id
    QList<ModuleNewsKind> kinds; // read when asked

private:
    QString m_id;
    QList<ModuleRow> m_rows;
    std::optional<ModuleStatus> m_status;
    ModuleCounts m_counts;
};

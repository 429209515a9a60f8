#include "notch/NotchContent.h"

#include <QCoreApplication>

QList<ModuleRow> NotchContent::fitted(QList<ModuleRow> rows, int limit)
{
    if (rows.size() <= limit)
        return rows;
    const qsizetype rest = rows.size() - (limit - 1);
    rows.resize(limit - 1);
    rows.append(ModuleRow { QCoreApplication::translate("NotchContent", "+%n weitere", nullptr, int(rest)), {},
        std::nullopt, ModuleStatus::Severity::Idle, {} });
    return rows;
}

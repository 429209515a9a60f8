#include "notch/NotchModel.h"

NotchModel::NotchModel(QObject *parent)
    : QObject(parent)
{ }

void NotchModel::setExpanded(bool expanded)
{
    m_expanded = expanded;
    Q_EMIT changed();
}

void NotchModel::setPinned(bool pinned)
{
    m_pinned = pinned;
    Q_EMIT changed();
}

void NotchModel::setPause(Pause pause)
{
    m_pause = pause;
    Q_EMIT changed();
}

void NotchModel::setStatusText(const QString &text)
{
    m_statusText = text;
    Q_EMIT changed();
    Q_EMIT statusAssigned();
}

void NotchModel::setStatusColor(Color color)
{
    m_statusColor = color;
    Q_EMIT changed();
}

void NotchModel::setRows(const QList<ModuleRow> &rows)
{
    m_rows = rows;
    Q_EMIT changed();
}

void NotchModel::setAgesAt(const QDateTime &moment)
{
    m_agesAt = moment;
    Q_EMIT changed();
}

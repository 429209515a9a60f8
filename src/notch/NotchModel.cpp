#include "notch/NotchModel.h"

NotchModel::NotchModel(QObject *parent)
    : QObject(parent)
    , m_statusText(QStringLiteral(u"Build l\u00e4uft \u00b7 main"))
    , m_rows(seedRows())
{ }

QList<DemoRow> NotchModel::seedRows()
{
    return {
        DemoRow { QUuid::createUuid(), QStringLiteral("Deploy"), QStringLiteral(u"staging \u00b7 vor 42 s"),
            Color::orange() },
        DemoRow {
            QUuid::createUuid(), QStringLiteral("Tests"), QStringLiteral(u"main \u00b7 vor 2 Min."), Color::green() },
        DemoRow { QUuid::createUuid(), QStringLiteral("Lint"), QStringLiteral(u"feature/login \u00b7 vor 5 Min."),
            Color::red() },
    };
}

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

void NotchModel::setRows(const QList<DemoRow> &rows)
{
    m_rows = rows;
    Q_EMIT changed();
}

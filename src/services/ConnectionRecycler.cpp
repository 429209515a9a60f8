#include "services/ConnectionRecycler.h"

#include "core/Scheduler.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>

#include <algorithm>

ConnectionRecycler::ConnectionRecycler(QNetworkAccessManager &network, Scheduler &scheduler, QObject *parent)
    : QObject(parent)
    , m_network(network)
    , m_scheduler(scheduler)
    , m_lastRecycle(scheduler.now())
{
    // Queued: the finishing reply's own handlers run first, and a transfer they start counts.
    connect(&network, &QNetworkAccessManager::finished, this, &ConnectionRecycler::recycleIfIdle, Qt::QueuedConnection);
}

void ConnectionRecycler::recycleIfIdle()
{
    if (m_scheduler.now() - m_lastRecycle < interval)
        return;
    // Replies are the manager's children until they are deleted.
    const QList<QNetworkReply *> replies = m_network.findChildren<QNetworkReply *>(Qt::FindDirectChildrenOnly);
    if (std::any_of(replies.cbegin(), replies.cend(), [](const QNetworkReply *reply) { return reply->isRunning(); }))
        return;
    m_lastRecycle = m_scheduler.now();
    m_network.clearConnectionCache();
}

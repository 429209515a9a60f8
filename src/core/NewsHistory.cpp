#include "core/NewsHistory.h"

void NewsHistory::record(const ModuleEvent &event, bool interrupted)
{
    m_entries.prepend(Entry { QDateTime::currentDateTimeUtc(), event, interrupted });
    if (m_entries.size() > kept)
        m_entries.resize(kept);
    Q_EMIT changed();
}

QList<NewsHistory::Entry> NewsHistory::of(const QString &moduleID) const
{
    QList<Entry> own;
    for (const Entry &entry : m_entries) {
        if (entry.event.moduleID == moduleID)
            own.append(entry);
    }
    return own;
}

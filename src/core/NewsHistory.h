#pragma once

#include "core/ModuleEvent.h"

#include <QDateTime>
#include <QList>
#include <QObject>
#include <QString>
#include <QUrl>

// The news of the running session, newest first, the last `kept` of them: each with its moment
// and whether it interrupted, so news held back (a pause, a kind switched off) is not lost. Kept
// in memory only.
class NewsHistory final : public QObject {
    Q_OBJECT
public:
    static constexpr int kept = 50;

    struct Entry {
        QDateTime at;
        ModuleEvent event;
        bool interrupted = false;
    };

    using QObject::QObject;

    void record(const ModuleEvent &event, bool interrupted);
    const QList<Entry> &entries() const { return m_entries; }
    // One module's entries, newest first.
    QList<Entry> of(const QString &moduleID) const;

Q_SIGNALS:
    void changed();

private:
    QList<Entry> m_entries;
};

#pragma once

#include "core/CoalescedCall.h"
#include "core/ModuleCounts.h"
#include "core/ModuleRow.h"
#include "core/ModuleStatus.h"

#include <QList>
#include <QObject>

class DevModule;
class ModuleRegistry;

// What the switched-on modules show, read through the module contract in registry order: every
// module's rows one after the other, and as the status line the compact status of the first
// module that has one ("Tarnlet", idle, while none has), and their counts added up. The overlay and the tray both read
// it here. Notices from the registry and the modules that arrive in one turn of the event loop are read once, after
// that turn.
class ModuleContent final : public QObject {
    Q_OBJECT
public:
    // `registry` must outlive the content source.
    explicit ModuleContent(const ModuleRegistry &registry, QObject *parent = nullptr);

    const QList<ModuleRow> &rows() const { return m_rows; }
    const ModuleStatus &statusLine() const { return m_statusLine; }
    const ModuleCounts &counts() const { return m_counts; }

Q_SIGNALS:
    // After the rows, the status line or the counts changed.
    void changed();

private:
    void follow(DevModule *module);
    void refresh();

    const ModuleRegistry &m_registry;
    QList<ModuleRow> m_rows;
    ModuleStatus m_statusLine;
    ModuleCounts m_counts;
    CoalescedCall m_refresh { this, [this] { refresh(); } };
};

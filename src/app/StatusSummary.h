#pragma once

#include "app/StatusSnapshot.h"

#include <QObject>

#include <memory>
#include <vector>

class Integration;
class ModuleContent;
class NewsGate;
class StatusLine;

// Follows what the program says about itself outside its own windows (the tray's tooltip and
// mark, the session bus, the status bars): the collapsed line, the pause, the integrations'
// warnings and the modules' counts, gathered into one snapshot that changes only when one of them
// does.
class StatusSummary final : public QObject {
    Q_OBJECT
public:
    // The references must outlive the summary.
    StatusSummary(const StatusLine &line, const ModuleContent &content, const NewsGate &news,
        const std::vector<std::unique_ptr<Integration>> &integrations, QObject *parent = nullptr);

    const StatusSnapshot &current() const { return m_current; }

Q_SIGNALS:
    // After the snapshot changed.
    void changed();

private:
    StatusSnapshot read() const;
    void refresh();

    const StatusLine &m_line;
    const ModuleContent &m_content;
    const NewsGate &m_news;
    const std::vector<std::unique_ptr<Integration>> &m_integrations;
    StatusSnapshot m_current;
};

#include "app/StatusSummary.h"

#include "core/Integration.h"
#include "core/ModuleContent.h"
#include "core/NewsGate.h"
#include "core/StatusLine.h"

StatusSummary::StatusSummary(const StatusLine &line, const ModuleContent &content, const NewsGate &news,
    const std::vector<std::unique_ptr<Integration>> &integrations, QObject *parent)
    : QObject(parent)
    , m_line(line)
    , m_content(content)
    , m_news(news)
    , m_integrations(integrations)
    , m_current(read())
{
    connect(&line, &StatusLine::changed, this, &StatusSummary::refresh);
    connect(&content, &ModuleContent::changed, this, &StatusSummary::refresh);
    connect(&news, &NewsGate::pauseChanged, this, &StatusSummary::refresh);
    for (const std::unique_ptr<Integration> &integration : integrations)
        connect(integration.get(), &Integration::noticeChanged, this, &StatusSummary::refresh);
}

StatusSnapshot StatusSummary::read() const
{
    StatusSnapshot snapshot;
    snapshot.text = m_line.text();
    // The modules' severity, not a passing flash's colour.
    snapshot.severity = m_line.modules().severity;
    snapshot.paused = m_news.isPaused();
    snapshot.counts = m_content.counts();
    QStringList tooltip { snapshot.text };
    if (m_news.isPausedByUser())
        tooltip.append(tr("Meldungen pausiert"));
    else if (m_news.isQuietForDesktop())
        tooltip.append(tr("Nicht stören"));
    for (const std::unique_ptr<Integration> &integration : m_integrations) {
        if (const std::optional<QString> notice = integration->notice())
            tooltip.append(*notice);
    }
    snapshot.tooltip = tooltip.join(QStringLiteral(" \u00B7 "));
    return snapshot;
}

void StatusSummary::refresh()
{
    StatusSnapshot next = read();
    if (next == m_current)
        return;
    m_current = std::move(next);
    Q_EMIT changed();
}

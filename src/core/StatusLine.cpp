#include "core/StatusLine.h"

#include "core/ModuleContent.h"
#include "core/Scheduler.h"

#include <QPointer>

StatusLine::StatusLine(const ModuleContent &content, Scheduler &scheduler, QObject *parent)
    : QObject(parent)
    , m_content(content)
    , m_scheduler(scheduler)
    , m_shown(content.statusLine())
{
    connect(&content, &ModuleContent::changed, this, &StatusLine::followModules);
}

StatusLine::~StatusLine()
{
    m_flashEnd.cancel();
}

const QString &StatusLine::text() const
{
    return m_flash ? m_flash->text : m_shown.text;
}

Color StatusLine::color() const
{
    return m_flash ? m_flash->color : m_shown.color();
}

const ModuleStatus &StatusLine::modules() const
{
    return m_shown;
}

void StatusLine::flash(const QString &text, Color color, double seconds)
{
    m_flash = Flash { text, color };
    m_flashEnd.cancel();
    m_flashEnd = m_scheduler.schedule(seconds, [self = QPointer(this)] {
        if (!self)
            return;
        self->m_flash.reset();
        Q_EMIT self->changed();
    });
    Q_EMIT changed();
}

void StatusLine::followModules()
{
    if (m_content.statusLine() == m_shown)
        return;
    m_shown = m_content.statusLine();
    // A flash keeps the line until its time is up; the tray's mark follows the modules at once.
    Q_EMIT changed();
}

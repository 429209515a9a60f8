#pragma once

#include "core/CancelHandle.h"
#include "core/Color.h"
#include "core/ModuleStatus.h"

#include <QObject>
#include <QString>

#include <optional>

class ModuleContent;
class Scheduler;

// The collapsed line as the overlay and the tray both show it: the modules' status line, or a
// piece of news flashed over it until its time is up, when the modules' line returns.
class StatusLine final : public QObject {
    Q_OBJECT
public:
    // The references must outlive the line.
    StatusLine(const ModuleContent &content, Scheduler &scheduler, QObject *parent = nullptr);
    ~StatusLine() override;

    const QString &text() const;
    Color color() const;
    // The modules' line beneath any flash: what the tray's mark follows.
    const ModuleStatus &modules() const;
    bool isFlashing() const { return m_flash.has_value(); }

    // Shows `text` with a `color` dot for `seconds`, over the modules' line.
    void flash(const QString &text, Color color, double seconds);

Q_SIGNALS:
    // After the text or colour changed, or a flash began (again).
    void changed();

private:
    void followModules();

    struct Flash {
        QString text;
        Color color;
    };

    const ModuleContent &m_content;
    Scheduler &m_scheduler;
    ModuleStatus m_shown; // the modules' line as last announced
    std::optional<Flash> m_flash;
    CancelHandle m_flashEnd;
};

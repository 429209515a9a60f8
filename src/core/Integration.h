#pragma once

#include "core/DevModule.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QUrl>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QWidget;

// A settings pane an integration brings (an account): listed below the modules under its title
// and symbol, selected by its stable name, made anew each time it is shown.
struct IntegrationPane {
    QString name;
    QString title;
    QString symbol;
    std::function<QWidget *()> create;
};

// One service Tarnlet speaks to (a forge, a container engine), with everything that belongs to it:
// its modules, its settings panes, which pages its rows may open and a line it adds to the tray's
// tooltip. Making one registers its preferences' defaults, before its modules read them. The frame
// asks integrations and never names one; the application makes each one in a line of its own and
// keeps it for the life of the process.
class Integration : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    // Hands over its modules once, in the order they are listed; the registry owns them from then.
    // The integration outlives them.
    std::vector<std::unique_ptr<DevModule>> takeModules() { return std::move(m_modules); }
    virtual QList<IntegrationPane> panes() const { return {}; }
    // Whether a row of this integration may open `url` in the browser.
    virtual bool mayOpen(const QUrl &) const { return false; }
    // Begins what it needs besides its modules (reading its secrets), without waiting; called once,
    // after its modules are registered.
    virtual void start() { }
    // The desktop's secret store has (re)appeared: read what was locked or missing again.
    virtual void secretStoreAppeared() { }
    // A warning the tray's tooltip carries while it lasts (a token about to end); none otherwise.
    virtual std::optional<QString> notice() const { return std::nullopt; }

Q_SIGNALS:
    // After notice() changed.
    void noticeChanged();

protected:
    void addModule(std::unique_ptr<DevModule> module) { m_modules.push_back(std::move(module)); }

private:
    std::vector<std::unique_ptr<DevModule>> m_modules;
};

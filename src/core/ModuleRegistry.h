#pragma once

#include "core/DevModule.h"

#include <QObject>
#include <QString>

#include <memory>
#include <set>
#include <vector>

class PreferenceStore;

// Owns the modules for the life of the process, remembers which ones the user switched off
// (persisted under "disabledModuleIDs", sorted ascending) and starts or stops them accordingly.
class ModuleRegistry final : public QObject {
    Q_OBJECT
public:
    static constexpr auto disabledModuleIDsKey = "disabledModuleIDs";

    explicit ModuleRegistry(PreferenceStore &defaults, QObject *parent = nullptr);
    ~ModuleRegistry() override;

    // Registered modules in registration order.
    std::vector<DevModule *> modules() const;
    DevModule *module(const QString &id) const;
    // Every module's kinds of news with a switch, in registration order.
    QList<ModuleNewsKind> newsKinds() const;
    const std::set<QString> &disabledIDs() const { return m_disabledIDs; }
    bool isEnabled(const QString &id) const { return !m_disabledIDs.contains(id); }

    // Adds the module unless its id is taken (then it is dropped), registers its kinds of news'
    // defaults, and starts it in a queued call of its own unless it is switched off.
    void registerModule(std::unique_ptr<DevModule> module);
    // Switches the module with this id on (queued start) or off (immediate stop) and persists
    // the switched-off set, then says so. Ids of unregistered modules are ignored.
    void setEnabled(bool enabled, const QString &id);

Q_SIGNALS:
    // After a module joined the list (before its queued start).
    void moduleAdded(DevModule *module);
    // After the module with `id` was switched on or off and the set was stored.
    void enabledChanged(const QString &id, bool enabled);

private:
    void startLater(DevModule *module);

    PreferenceStore &m_defaults;
    std::vector<std::unique_ptr<DevModule>> m_modules;
    std::set<QString> m_disabledIDs;
};

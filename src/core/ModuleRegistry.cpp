#include "core/ModuleRegistry.h"

#include "core/prefs/AppPreferences.h"
#include "core/prefs/PreferenceStore.h"

#include <QPointer>

ModuleRegistry::ModuleRegistry(PreferenceStore &defaults, QObject *parent)
    : QObject(parent)
    , m_defaults(defaults)
{
    if (const auto stored = defaults.stringListValue(QString::fromLatin1(disabledModuleIDsKey)))
        m_disabledIDs = std::set<QString>(stored->cbegin(), stored->cend());
}

ModuleRegistry::~ModuleRegistry() = default;

std::vector<DevModule *> ModuleRegistry::modules() const
{
    std::vector<DevModule *> result;
    result.reserve(m_modules.size());
    for (const auto &module : m_modules)
        result.push_back(module.get());
    return result;
}

DevModule *ModuleRegistry::module(const QString &id) const
{
    for (const auto &module : m_modules) {
        if (module->id() == id)
            return module.get();
    }
    return nullptr;
}

QList<ModuleNewsKind> ModuleRegistry::newsKinds() const
{
    QList<ModuleNewsKind> kinds;
    for (const auto &module : m_modules)
        kinds.append(module->newsKinds());
    return kinds;
}

void ModuleRegistry::registerModule(std::unique_ptr<DevModule> module)
{
    if (!module || this->module(module->id()))
        return;
    QVariantMap defaults;
    for (const ModuleNewsKind &kind : module->newsKinds())
        defaults.insert(AppPreferences::interruptKey(kind.id), kind.onByDefault);
    if (!defaults.isEmpty())
        m_defaults.registerDefaults(defaults);
    DevModule *added = module.get();
    m_modules.push_back(std::move(module));
    if (!m_disabledIDs.contains(added->id()))
        startLater(added);
    Q_EMIT moduleAdded(added);
}

void ModuleRegistry::setEnabled(bool enabled, const QString &id)
{
    DevModule *target = module(id);
    if (!target)
        return;
    if (enabled) {
        m_disabledIDs.erase(id);
        startLater(target);
    } else {
        m_disabledIDs.insert(id);
        target->stop();
    }
    // std::set iterates in ascending order, which is the persisted order.
    const QStringList sorted(m_disabledIDs.cbegin(), m_disabledIDs.cend());
    m_defaults.setValue(QString::fromLatin1(disabledModuleIDsKey), sorted);
    Q_EMIT enabledChanged(id, enabled);
}

void ModuleRegistry::startLater(DevModule *module)
{
    // A start runs as its own piece of GUI-thread work, after what is running now.
    QMetaObject::invokeMethod(
        module,
        [guard = QPointer<DevModule>(module)] {
            if (guard)
                guard->start();
        },
        Qt::QueuedConnection);
}

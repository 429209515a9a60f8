#include "core/ModuleContent.h"

#include "core/ModuleRegistry.h"

namespace {

ModuleStatus statusLineOf(const ModuleRegistry &registry)
{
    for (const DevModule *module : registry.modules()) {
        if (!registry.isEnabled(module->id()))
            continue;
        if (std::optional<ModuleStatus> status = module->compactStatus())
            return *std::move(status);
    }
    return ModuleStatus { QStringLiteral("Tarnlet"), ModuleStatus::Severity::Idle };
}

QList<ModuleRow> rowsOf(const ModuleRegistry &registry)
{
    QList<ModuleRow> rows;
    for (const DevModule *module : registry.modules()) {
        if (registry.isEnabled(module->id()))
            rows.append(module->overlayRows());
    }
    return rows;
}

ModuleCounts countsOf(const ModuleRegistry &registry)
{
    ModuleCounts counts;
    for (const DevModule *module : registry.modules()) {
        if (registry.isEnabled(module->id()))
            counts += module->counts();
    }
    return counts;
}

} // namespace

ModuleContent::ModuleContent(const ModuleRegistry &registry, QObject *parent)
    : QObject(parent)
    , m_registry(registry)
    , m_rows(rowsOf(registry))
    , m_statusLine(statusLineOf(registry))
    , m_counts(countsOf(registry))
{
    for (DevModule *module : registry.modules())
        follow(module);
    connect(&registry, &ModuleRegistry::moduleAdded, this, [this](DevModule *module) {
        follow(module);
        m_refresh.request();
    });
    connect(&registry, &ModuleRegistry::enabledChanged, this, [this] { m_refresh.request(); });
}

void ModuleContent::follow(DevModule *module)
{
    connect(module, &DevModule::changed, this, [this] { m_refresh.request(); });
}

void ModuleContent::refresh()
{
    QList<ModuleRow> rows = rowsOf(m_registry);
    ModuleStatus statusLine = statusLineOf(m_registry);
    const ModuleCounts counts = countsOf(m_registry);
    if (rows == m_rows && statusLine == m_statusLine && counts == m_counts)
        return;
    m_rows = std::move(rows);
    m_statusLine = std::move(statusLine);
    m_counts = counts;
    Q_EMIT changed();
}

#include "notch/NotchContent.h"

#include "core/ModuleRegistry.h"

#include <QCoreApplication>

QList<ModuleRow> NotchContent::rows(const ModuleRegistry &registry, int limit)
{
    QList<ModuleRow> all;
    for (const DevModule *module : registry.modules()) {
        if (registry.isEnabled(module->id()))
            all.append(module->overlayRows());
    }
    if (all.size() <= limit)
        return all;
    const qsizetype rest = all.size() - (limit - 1);
    all.resize(limit - 1);
    all.append(ModuleRow { QCoreApplication::translate("NotchContent", "+%n weitere", nullptr, int(rest)), {},
        std::nullopt, Color::gray(), {} });
    return all;
}

ModuleStatus NotchContent::statusLine(const ModuleRegistry &registry)
{
    for (const DevModule *module : registry.modules()) {
        if (!registry.isEnabled(module->id()))
            continue;
        if (std::optional<ModuleStatus> status = module->compactStatus())
            return *std::move(status);
    }
    return ModuleStatus { QStringLiteral("Tarnlet"), Color::gray() };
}

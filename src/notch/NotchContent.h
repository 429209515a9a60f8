#pragma once

#include "core/ModuleRow.h"
#include "core/ModuleStatus.h"

#include <QList>

class ModuleRegistry;

// What the overlay shows of the switched-on modules, read through the module contract in
// registry order.
namespace NotchContent {

// Every module's rows one after the other; more than `limit` are cut to limit - 1 and a last
// grey row "+N weitere" that counts the rest.
QList<ModuleRow> rows(const ModuleRegistry &registry, int limit);
// The compact status of the first module that has one; "Tarnlet" in grey while none has.
ModuleStatus statusLine(const ModuleRegistry &registry);

} // namespace NotchContent

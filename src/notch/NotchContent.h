#pragma once

#include "core/ModuleRow.h"

#include <QList>

namespace NotchContent {

// The rows as the open overlay lists them: more than `limit` are cut to limit - 1 and a last grey
// row "+N weitere" that counts the rest.
QList<ModuleRow> fitted(QList<ModuleRow> rows, int limit);

} // namespace NotchContent

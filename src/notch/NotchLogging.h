#pragma once

#include <QLoggingCategory>

// The overlay's log ("tarnlet.notch"), quiet below warnings unless QT_LOGGING_RULES asks for more.
Q_DECLARE_LOGGING_CATEGORY(lcNotch)

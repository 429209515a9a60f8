#pragma once

#include <QLoggingCategory>

// The Docker integration's log ("tarnlet.docker"), quiet below warnings unless QT_LOGGING_RULES
// asks for more.
Q_DECLARE_LOGGING_CATEGORY(lcDocker)

#pragma once

#include <QLoggingCategory>

// The CI feeds' log ("tarnlet.cctray"), quiet below warnings unless QT_LOGGING_RULES asks for
// more. It names a feed by host and path only: never its query, a credential or an answer's body.
Q_DECLARE_LOGGING_CATEGORY(lcCCTray)

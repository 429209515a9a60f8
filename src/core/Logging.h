#pragma once

#include <QLoggingCategory>

// The program's logging categories, one per area. They are quiet below warnings unless
// QT_LOGGING_RULES asks for more ("tarnlet.*.debug=true"). Nothing logged ever holds the GitHub
// token, an answer's body or a header value that may carry a secret.
Q_DECLARE_LOGGING_CATEGORY(lcGitHub)
Q_DECLARE_LOGGING_CATEGORY(lcDocker)
Q_DECLARE_LOGGING_CATEGORY(lcNotch)
Q_DECLARE_LOGGING_CATEGORY(lcSettings)

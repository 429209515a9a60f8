#pragma once

#include <QLoggingCategory>

// The GitLab integration's log ("tarnlet.gitlab"), quiet below warnings unless QT_LOGGING_RULES
// asks for more. Nothing logged ever holds the token, an answer's body or a header value that may
// carry a secret.
Q_DECLARE_LOGGING_CATEGORY(lcGitLab)

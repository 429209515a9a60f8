#pragma once

#include <QString>

// The kinds of news (ModuleEvent::kind) the user may keep from interrupting, one switch each in
// "Benachrichtigungen" (NewsGate::interruptKey names its preference).
namespace NewsKind {

inline const QString reviewRequested = QStringLiteral("github.reviewRequested");
inline const QString reviewOrComment = QStringLiteral("github.reviewOrComment");
inline const QString pullRequestMerged = QStringLiteral("github.pullRequestMerged");
inline const QString runFailed = QStringLiteral("github.runFailed");
inline const QString runFixed = QStringLiteral("github.runFixed");

} // namespace NewsKind

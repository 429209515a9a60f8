#pragma once

#include <QString>
#include <QStringList>

// The kinds of news (ModuleEvent::kind) the user may keep from interrupting, one switch each in
// "Benachrichtigungen" (AppPreferences::interruptKey names its preference).
namespace NewsKind {

inline const QString reviewRequested = QStringLiteral("github.reviewRequested");
inline const QString reviewOrComment = QStringLiteral("github.reviewOrComment");
inline const QString pullRequestMerged = QStringLiteral("github.pullRequestMerged");
inline const QString runFailed = QStringLiteral("github.runFailed");
inline const QString runFixed = QStringLiteral("github.runFixed");

// The kinds with a switch, in the order the switches are listed.
inline const QStringList switchable { reviewRequested, reviewOrComment, pullRequestMerged, runFailed, runFixed };

} // namespace NewsKind

#pragma once

#include <QString>
#include <QStringList>

// The kinds of news (ModuleEvent::kind) the user may keep from interrupting, one switch each in
// "Benachrichtigungen" (AppPreferences::interruptKey names its preference).
namespace NewsKind {

inline const QString reviewRequested = QStringLiteral("github.reviewRequested");
inline const QString reviewOrComment = QStringLiteral("github.reviewOrComment");
inline const QString pullRequestMerged = QStringLiteral("github.pullRequestMerged");
inline const QString issue = QStringLiteral("github.issue");
inline const QString discussion = QStringLiteral("github.discussion");
inline const QString releasePublished = QStringLiteral("github.releasePublished");
inline const QString runFailed = QStringLiteral("github.runFailed");
// A failed run GitHub itself notifies about: a switch of its own, as the Actions module may
// announce the same run.
inline const QString runFailedReported = QStringLiteral("github.runFailedReported");
inline const QString runFixed = QStringLiteral("github.runFixed");
// A container that ended without being asked to: a non-zero exit, out of memory, unhealthy.
inline const QString containerEnded = QStringLiteral("docker.unexpectedExit");

// The kinds with a switch, in the order the switches are listed.
inline const QStringList switchable { reviewRequested, reviewOrComment, pullRequestMerged, issue, discussion,
    releasePublished, runFailed, runFailedReported, runFixed, containerEnded };

} // namespace NewsKind

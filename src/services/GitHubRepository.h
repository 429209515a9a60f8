#pragma once

#include "core/ModuleListSetting.h"

#include <QString>
#include <QStringList>

#include <functional>

class PreferenceStore;
class QObject;

// The repositories the GitHub modules watch, as the user names them: "owner/name". One place
// decides what an entry may be, for the list the user edits and for what the modules read back.
namespace GitHubRepository {

inline constexpr int maximumCount = 20;

// The stored form of what the user typed or pasted: trimmed, a github.com address (with or
// without ".git" or a trailing slash) reduced to owner/name. Anything else that is not owner/name
// in GitHub's characters (letters, digits, "-", "_", ".") is refused with a short reason.
ModuleListSetting::Normalized normalize(const QString &input);

// The repositories to watch, in the user's order: the preference's entries in their stored form,
// without entries that are not repositories or repeat an earlier one (GitHub's names do not heed
// case), at most maximumCount.
QStringList watched(const PreferenceStore &preferences);

// Calls `changed` with the repositories to watch each time they differ from the last ones (the
// first time from those at this call), for as long as `context` lives.
void follow(const PreferenceStore &preferences, QObject *context, std::function<void(const QStringList &)> changed);

// The list the user edits in the GitHub Actions pane.
ModuleListSetting listSetting();

} // namespace GitHubRepository

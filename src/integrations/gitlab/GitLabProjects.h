#pragma once

#include "core/ModuleListSetting.h"

#include <QString>
#include <QStringList>

#include "integrations/gitlab/GitLabServer.h"
class PreferenceStore;

// The projects the GitLab pipelines module watches, as the user names them: their full path
// ("group/subgroup/project"). One place decides what an entry may be, for the list the user edits
// and for what the module reads back.
namespace GitLabProjects {

inline constexpr int maximumCount = 20;

// The preference holding the list of paths, and the one holding each project's options.
inline const QString listKey = QStringLiteral("gitlab.projects");
inline const QString optionsKey = QStringLiteral("gitlab.projectOptions");

// The stored form of what the user typed or pasted: trimmed, the address of a project's page on
// `server` (with or without ".git", a trailing slash or a page below it such as "/-/pipelines")
// reduced to its path. Anything else that is not a path of at least two parts in GitLab's
// characters (letters, digits, "-", "_", ".") is refused with a short reason, an address on
// another host too.
ModuleListSetting::Normalized normalize(const QString &input, const GitLabServer &server);
// Whether `text` is a project's path exactly as stored: what a path from GitLab's answers must be
// before it goes into a request.
bool isPath(const QString &text);

// The list the user edits in the pipelines pane, with each entry's options; addresses reduce for
// the server kept in `preferences` (which must outlive the setting).
ModuleListSetting listSetting(const PreferenceStore &preferences);

// What the user set for one project: muted (its row updates, it announces nothing), and the branch
// whose pipelines it shows (empty: the project's default branch).
struct Options {
    bool muted = false;
    QString branch;

    friend bool operator==(const Options &, const Options &) = default;
};
Options options(const PreferenceStore &preferences, const QString &path);

} // namespace GitLabProjects

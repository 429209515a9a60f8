#pragma once

#include "core/ModuleListSetting.h"

#include <QString>
#include <QStringList>

#include <functional>

#include "integrations/github/GitHubServer.h"
class PreferenceStore;
class QObject;

// The repositories the GitHub modules watch, as the user names them: "owner/name". One place
// decides what an entry may be, for the list the user edits and for what the modules read back.
namespace GitHubRepository {

inline constexpr int maximumCount = 20;

// The preference holding the list: "owner/name" texts.
inline const QString listKey = QStringLiteral("github.repositories");
// What the user set for each of them (mute, branches, workflow): an object from "owner/name" to
// an object of options. Apart from the list, so a list written by an older version reads the same.
inline const QString optionsKey = QStringLiteral("github.repositoryOptions");
// Tarnlet's own repository: where its releases are published, and the one watched until the user
// chooses others.
inline const QString tarnletRepository = QStringLiteral("teskarvo/Tarnlet");

// The stored form of what the user typed or pasted: trimmed, the address of a repository's page
// on `server` (with or without ".git", a trailing slash or a page below it such as "/pulls")
// reduced to owner/name. Anything else that is not owner/name in GitHub's characters (letters,
// digits, "-", "_", ".") is refused with a short reason, an address on another host too.
ModuleListSetting::Normalized normalize(const QString &input, const GitHubServer &server);
// Whether `text` is a repository's name exactly as stored (owner/name), nothing to reduce or refuse:
// what a name taken from GitHub's answers must be before it goes into a path or a page.
bool isName(const QString &text);

// The repositories to watch, in the user's order: the preference's entries in their stored form,
// without entries that are not repositories or repeat an earlier one in any letter case, at most
// maximumCount (ModuleListSetting::used).
QStringList watched(const PreferenceStore &preferences);

// Calls `changed` with the repositories to watch each time they differ from the last ones (the
// first time from those at this call), for as long as `context` lives.
void follow(const PreferenceStore &preferences, QObject *context, std::function<void(const QStringList &)> changed);

// The list the user edits in the GitHub Actions pane, with each entry's options; addresses
// reduce for the server kept in `preferences` (which must outlive the setting).
ModuleListSetting listSetting(const PreferenceStore &preferences);

// What the user set for one watched repository: muted (its row updates, it announces nothing),
// and the runs it shows: of these branches only (a trailing "*" matches any rest) and of this
// workflow only (its name or its file name). Empty filters let every run through.
struct Options {
    bool muted = false;
    QStringList branches;
    QString workflow;

    friend bool operator==(const Options &, const Options &) = default;
};

// The options stored for `repo` (in any letter case); none where the stored value is malformed.
Options options(const PreferenceStore &preferences, const QString &repo);
// Whether `repo` is muted: the one question other modules ask of these options.
bool isMuted(const PreferenceStore &preferences, const QString &repo);

} // namespace GitHubRepository

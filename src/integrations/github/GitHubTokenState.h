#pragma once

#include <QDateTime>
#include <QLatin1StringView>
#include <QString>

#include <optional>

class GitHubCredentials;

// What the token's state means to every GitHub part the user reads: the line shown instead of its
// own (being read, an unreadable keyring, a refused token, GitHub's wait) and the settings pane
// that mends it.
namespace GitHubTokenState {

// The name of the GitHub account pane, where the token is saved.
inline constexpr QLatin1StringView accountPane { "githubAccount" };

// The line every GitHub part shows instead of its own, or none while the token may be used.
std::optional<QString> problemText(const GitHubCredentials &credentials);
// The account pane while no token is held, the token is refused or the keyring unreadable; empty
// otherwise (a keyring being read, or GitHub's wait, passes by itself).
QString resolvingPane(const GitHubCredentials &credentials);

QString readingText();
QString refusedText();
// "Schlüsselbund nicht verfügbar": no token, as the secret store could not be read.
QString storeUnavailableText();
// "GitHub-Limit erreicht – weiter um 14:05", `until` in the local time format.
QString limitText(const QDateTime &until);

} // namespace GitHubTokenState

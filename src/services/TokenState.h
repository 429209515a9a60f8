#pragma once

#include <QDateTime>
#include <QString>

#include <optional>

class ApiCredentials;

// What a service token's state means to every part of that service the user reads: the line shown
// instead of its own (being read, an unreadable keyring, a refused token, the service's wait) and
// whether the account pane mends it. `service` is the service's name as the user reads it ("GitHub").
namespace TokenState {

// The line every part of the service shows instead of its own, or none while the token may be used.
std::optional<QString> problemText(const ApiCredentials &credentials, const QString &service);
// `accountPane` while no token is held, the token is refused or the keyring unreadable; empty
// otherwise (a keyring being read, or the service's wait, passes by itself).
QString resolvingPane(const ApiCredentials &credentials, const QString &accountPane);

QString readingText();
QString refusedText(const QString &service);
// "Schlüsselbund nicht verfügbar": no token, as the secret store could not be read.
QString storeUnavailableText();
// "GitHub-Limit erreicht – weiter um 14:05", `until` in the local time format.
QString limitText(const QString &service, const QDateTime &until);

} // namespace TokenState

#pragma once

#include <QString>
#include <QUrl>

// What a finished update check tells the user: a newer release with a way to its page, "up to
// date", or why the check failed. Behind an interface so tests record the outcome instead of
// driving dialogs.
class UpdateDialogs {
public:
    virtual ~UpdateDialogs() = default;

    virtual void showUpdateAvailable(
        const QString &latestVersion, const QString &currentVersion, const QUrl &releasePage)
        = 0;
    virtual void showUpToDate(const QString &currentVersion) = 0;
    // `reason` is a complete sentence for the user, in the user's language.
    virtual void showError(const QString &reason) = 0;
};

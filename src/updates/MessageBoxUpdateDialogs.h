#pragma once

#include "updates/UpdateDialogs.h"

#include <QCoreApplication>
#include <QMessageBox>
#include <QPointer>

// The update dialogs as non-modal message boxes, so a check answered while the user works
// elsewhere never blocks the overlay. One box at a time: a new answer replaces the old box.
// The release page opens in the desktop's browser; nothing is downloaded.
class MessageBoxUpdateDialogs final : public UpdateDialogs {
    Q_DECLARE_TR_FUNCTIONS(MessageBoxUpdateDialogs)
public:
    MessageBoxUpdateDialogs() = default;
    MessageBoxUpdateDialogs(const MessageBoxUpdateDialogs &) = delete;
    MessageBoxUpdateDialogs &operator=(const MessageBoxUpdateDialogs &) = delete;
    ~MessageBoxUpdateDialogs() override;

    void showUpdateAvailable(
        const QString &latestVersion, const QString &currentVersion, const QUrl &releasePage) override;
    void showUpToDate(const QString &currentVersion) override;
    void showError(const QString &reason) override;

    // The box on screen, if any (for tests).
    QMessageBox *currentBox() const { return m_box; }

private:
    QMessageBox *makeBox(const QString &text, const QString &details);
    void present(QMessageBox *box);

    QPointer<QMessageBox> m_box;
};

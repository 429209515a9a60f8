#include "updates/MessageBoxUpdateDialogs.h"

#include <QDesktopServices>
#include <QMessageBox>
#include <QPushButton>

MessageBoxUpdateDialogs::~MessageBoxUpdateDialogs()
{
    delete m_box;
}

void MessageBoxUpdateDialogs::showUpdateAvailable(
    const QString &latestVersion, const QString &currentVersion, const QUrl &releasePage)
{
    QMessageBox *box = makeBox(tr("Eine neue Version von Tarnlet ist verfügbar."),
        tr("Tarnlet %1 ist erschienen, installiert ist Version %2. Die "
           "Release-Seite zeigt, was neu ist, und bietet den Download an.")
            .arg(latestVersion, currentVersion));
    QPushButton *open = box->addButton(tr("Release-Seite öffnen"), QMessageBox::AcceptRole);
    box->addButton(tr("Später"), QMessageBox::RejectRole);
    box->setDefaultButton(open);
    QObject::connect(open, &QPushButton::clicked, box, [releasePage] { QDesktopServices::openUrl(releasePage); });
    present(box);
}

void MessageBoxUpdateDialogs::showUpToDate(const QString &currentVersion)
{
    QMessageBox *box = makeBox(
        tr("Tarnlet ist auf dem neuesten Stand."), tr("Version %1 ist die aktuelle Version.").arg(currentVersion));
    box->addButton(QMessageBox::Ok);
    present(box);
}

void MessageBoxUpdateDialogs::showError(const QString &reason)
{
    QMessageBox *box = makeBox(tr("Die Suche nach Updates ist fehlgeschlagen."), reason);
    box->setIcon(QMessageBox::Warning);
    box->addButton(QMessageBox::Ok);
    present(box);
}

QMessageBox *MessageBoxUpdateDialogs::makeBox(const QString &text, const QString &details)
{
    delete m_box;
    auto *box = new QMessageBox;
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowTitle(QStringLiteral("Tarnlet"));
    box->setIcon(QMessageBox::Information);
    box->setText(text);
    box->setInformativeText(details);
    box->setModal(false);
    m_box = box;
    return box;
}

void MessageBoxUpdateDialogs::present(QMessageBox *box)
{
    box->show();
    box->raise();
    box->activateWindow();
}

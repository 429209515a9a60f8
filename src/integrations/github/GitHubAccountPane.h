#pragma once

#include <QWidget>

class GitHubAccount;
class QLabel;
class QLineEdit;
class QPushButton;
class SettingsMessage;

// The GitHub account pane: who the token belongs to (or that GitHub refuses it) with its scopes,
// what is left of the hourly limit and what the token lacks for GitHub news, and a password
// field with "Speichern" (Return does the same) and "Entfernen". The field is emptied after every
// save, so the token is never shown again. "Erneut lesen" reads the secret store again (one that
// was locked or not running). Above the token, the server: empty for github.com, or a GitHub
// Enterprise Server's address, taken with "Übernehmen" (or Return). While the store works, the
// buttons wait and the feedback line says so; the window stays usable.
class GitHubAccountPane final : public QWidget {
    Q_OBJECT
public:
    explicit GitHubAccountPane(GitHubAccount &account, QWidget *parent = nullptr);

private:
    void showAccount();

    GitHubAccount &m_account;
    QLabel *m_status;
    QLabel *m_scopes;
    QLabel *m_budget;
    QLabel *m_notifications;
    QLabel *m_expiry; // the week before the token ends
    QLineEdit *m_server;
    QPushButton *m_useServer;
    QLabel *m_serverFeedback;
    QString m_shownServer; // the address last put into the field
    QLineEdit *m_token;
    QPushButton *m_save;
    QPushButton *m_remove;
    QPushButton *m_readAgain;
    QLabel *m_feedback;
    QLabel *m_note;
};

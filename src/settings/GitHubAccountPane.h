#pragma once

#include <QWidget>

class GitHubAccount;
class QLabel;
class QLineEdit;
class SettingsMessage;

// The GitHub account pane: who the token belongs to (or that GitHub refuses it) with its scopes,
// and a password field with "Speichern" (Return does the same) and "Entfernen". The field is
// emptied after every save, so the token is never shown again.
class GitHubAccountPane final : public QWidget {
    Q_OBJECT
public:
    explicit GitHubAccountPane(GitHubAccount &account, QWidget *parent = nullptr);

private:
    void showAccount();

    GitHubAccount &m_account;
    QLabel *m_status;
    QLabel *m_scopes;
    QLineEdit *m_token;
    QLabel *m_feedback;
};

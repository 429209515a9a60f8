#pragma once

#include <QList>
#include <QString>
#include <QWidget>

class QLabel;
class QLineEdit;
class QPushButton;
class QVBoxLayout;
class TokenAccount;

// A service's account pane: who the token belongs to (or that the service refuses it) with the
// service's own lines about it (what is left of the limit, what the token lacks), and a password
// field with "Speichern" (Return does the same) and "Entfernen". The field is emptied after every
// save, so the token is never shown again. "Erneut lesen" reads the secret store again (one that
// was locked or not running). Above the token, the server: empty for the service's public one, or
// a self-hosted server's address, taken with "Übernehmen" (or Return). While the store works, the
// buttons wait and the feedback line says so; the window stays usable.
class TokenAccountPane final : public QWidget {
    Q_OBJECT
public:
    explicit TokenAccountPane(TokenAccount &account, QWidget *parent = nullptr);

private:
    void showAccount();

    TokenAccount &m_account;
    QLabel *m_status;
    QVBoxLayout *m_accountLayout;
    QList<QLabel *> m_lines; // the account's lines(), made as they come
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

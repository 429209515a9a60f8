#include "services/account/TokenAccountPane.h"

#include "services/account/TokenAccount.h"
#include "settings/PaneLayout.h"
#include "widgets/SettingsBlocks.h"
#include "widgets/SettingsStyle.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

// A wrapped line in the secondary style, `side` points in from the sides and `below` above what
// follows.
void makeSecondaryLine(QLabel &label, int side, int below)
{
    label.setWordWrap(true);
    label.setContentsMargins(side, 0, side, below);
    SettingsStyle::setFont(label, 13);
    SettingsStyle::makeSecondary(label);
}

// A section of `pane` holding `field` with its buttons in one line, over the line saying what
// they did.
void addFieldSection(QVBoxLayout &pane, const QString &title, QLineEdit &field,
    std::initializer_list<QPushButton *> buttons, QLabel &feedback)
{
    auto *section = new SettingsSection(title, pane.parentWidget());
    SettingsCard *card = section->card();
    auto *line = new QWidget(card);
    auto *lineLayout = new QHBoxLayout(line);
    lineLayout->setContentsMargins(16, 10, 16, 10);
    lineLayout->setSpacing(12);
    SettingsStyle::setFont(field, 14);
    lineLayout->addWidget(&field, 1);
    for (QPushButton *button : buttons)
        lineLayout->addWidget(button);
    card->addWidget(line);
    makeSecondaryLine(feedback, 16, 10);
    card->addWidget(&feedback);
    pane.addWidget(section);
}

} // namespace

TokenAccountPane::TokenAccountPane(TokenAccount &account, QWidget *parent)
    : QWidget(parent)
    , m_account(account)
    , m_status(new QLabel)
    , m_accountLayout(new QVBoxLayout)
    , m_server(new QLineEdit)
    , m_useServer(new QPushButton(tr("Übernehmen")))
    , m_serverFeedback(new QLabel)
    , m_token(new QLineEdit)
    , m_save(new QPushButton(tr("Speichern")))
    , m_remove(new QPushButton(tr("Entfernen")))
    , m_readAgain(new QPushButton(tr("Erneut lesen")))
    , m_feedback(new QLabel)
    , m_note(new QLabel)
{
    auto *layout = makePaneLayout(*this);

    auto *accountSection = new SettingsSection(tr("Konto"), this);
    SettingsCard *accountCard = accountSection->card();
    auto *accountBox = new QWidget(accountCard);
    auto *accountLine = new QHBoxLayout(accountBox);
    accountLine->setContentsMargins(16, 12, 16, 12);
    accountLine->setSpacing(12);
    m_accountLayout->setSpacing(4);
    accountLine->addLayout(m_accountLayout, 1);
    // Reads the keyring again, for one that was locked or not running when it was first read.
    accountLine->addWidget(m_readAgain, 0, Qt::AlignVCenter);
    for (QLabel *label : { m_status, m_feedback, m_serverFeedback, m_note })
        label->setTextFormat(Qt::PlainText);
    SettingsStyle::setFont(*m_status, 15);
    m_status->setWordWrap(true);
    m_accountLayout->addWidget(m_status);
    accountCard->addWidget(accountBox);
    layout->addWidget(accountSection);

    m_server->setAccessibleName(tr("Serveradresse"));
    m_server->setPlaceholderText(m_account.serverPlaceholder());
    addFieldSection(*layout, tr("Server"), *m_server, { m_useServer }, *m_serverFeedback);
    m_token->setEchoMode(QLineEdit::Password);
    m_token->setAccessibleName(tr("Persönlicher Zugriffstoken"));
    m_token->setPlaceholderText(tr("Persönlicher Zugriffstoken"));
    addFieldSection(*layout, tr("Token"), *m_token, { m_save, m_remove }, *m_feedback);
    makeSecondaryLine(*m_note, 4, 0);
    layout->addWidget(m_note);

    const auto save = [this] {
        if (m_account.isBusy())
            return; // Return while the store works: the typed token stays in the field
        // Taken out of the field before anything else happens, so it never lingers there.
        const QString input = m_token->text();
        m_token->clear();
        m_account.save(input);
    };
    connect(m_save, &QPushButton::clicked, this, save);
    connect(m_token, &QLineEdit::returnPressed, this, save);
    connect(m_remove, &QPushButton::clicked, this, [this] { m_account.remove(); });
    connect(m_readAgain, &QPushButton::clicked, this, [this] { m_account.readAgain(); });
    const auto useServer = [this] {
        if (!m_account.isBusy())
            m_account.setServer(m_server->text());
    };
    connect(m_useServer, &QPushButton::clicked, this, useServer);
    connect(m_server, &QLineEdit::returnPressed, this, useServer);
    m_shownServer = m_account.serverAddress();
    m_server->setText(m_shownServer);
    connect(&m_account, &TokenAccount::changed, this, &TokenAccountPane::showAccount);
    showAccount();
    m_account.lookUpIfUnknown();
}

void TokenAccountPane::showAccount()
{
    m_status->setText(m_account.statusText());
    const QList<TokenAccount::Line> lines = m_account.lines();
    while (m_lines.size() < lines.size()) {
        auto *label = new QLabel;
        label->setTextFormat(Qt::PlainText);
        label->setWordWrap(true);
        SettingsStyle::setFont(*label, 13);
        if (lines[m_lines.size()].secondary)
            SettingsStyle::makeSecondary(*label);
        m_accountLayout->addWidget(label);
        m_lines.append(label);
    }
    for (qsizetype i = 0; i < m_lines.size(); ++i) {
        const QString text = i < lines.size() ? lines[i].text : QString();
        m_lines[i]->setText(text);
        m_lines[i]->setVisible(!text.isEmpty());
    }
    m_feedback->setText(m_account.feedback());
    m_feedback->setVisible(!m_account.feedback().isEmpty());
    m_save->setEnabled(!m_account.isBusy());
    m_remove->setEnabled(!m_account.isBusy());
    m_readAgain->setEnabled(!m_account.isBusy());
    m_useServer->setEnabled(!m_account.isBusy());
    m_serverFeedback->setText(m_account.serverFeedback());
    m_serverFeedback->setVisible(!m_account.serverFeedback().isEmpty());
    // The field shows the server in use once it changes; until then what is typed stays.
    if (const QString address = m_account.serverAddress(); address != m_shownServer) {
        m_shownServer = address;
        m_server->setText(address);
    }
    m_note->setText(m_account.note());
}

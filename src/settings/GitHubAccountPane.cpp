#include "settings/GitHubAccountPane.h"

#include "core/PlainText.h"
#include "settings/GitHubAccount.h"
#include "settings/PaneLayout.h"
#include "widgets/SettingsBlocks.h"
#include "widgets/SettingsStyle.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

GitHubAccountPane::GitHubAccountPane(GitHubAccount &account, QWidget *parent)
    : QWidget(parent)
    , m_account(account)
    , m_status(new QLabel)
    , m_scopes(new QLabel)
    , m_budget(new QLabel)
    , m_notifications(new QLabel)
    , m_expiry(new QLabel)
    , m_token(new QLineEdit)
    , m_save(new QPushButton(tr("Speichern")))
    , m_remove(new QPushButton(tr("Entfernen")))
    , m_readAgain(new QPushButton(tr("Erneut lesen")))
    , m_feedback(new QLabel)
{
    auto *layout = makePaneLayout(*this);

    auto *accountSection = new SettingsSection(tr("Konto"), this);
    SettingsCard *accountCard = accountSection->card();
    auto *accountBox = new QWidget(accountCard);
    auto *accountLine = new QHBoxLayout(accountBox);
    accountLine->setContentsMargins(16, 12, 16, 12);
    accountLine->setSpacing(12);
    auto *accountLayout = new QVBoxLayout;
    accountLayout->setSpacing(4);
    accountLine->addLayout(accountLayout, 1);
    // Reads the keyring again, for one that was locked or not running when it was first read.
    accountLine->addWidget(m_readAgain, 0, Qt::AlignVCenter);
    for (QLabel *label : { m_status, m_scopes, m_budget, m_notifications, m_expiry, m_feedback })
        label->setTextFormat(Qt::PlainText);
    SettingsStyle::setFont(*m_status, 15);
    m_status->setWordWrap(true);
    for (QLabel *label : { m_scopes, m_budget }) {
        SettingsStyle::setFont(*label, 13);
        SettingsStyle::makeSecondary(*label);
        label->setWordWrap(true);
    }
    SettingsStyle::setFont(*m_notifications, 13);
    m_notifications->setWordWrap(true);
    accountLayout->addWidget(m_status);
    accountLayout->addWidget(m_scopes);
    accountLayout->addWidget(m_budget);
    accountLayout->addWidget(m_notifications);
    SettingsStyle::setFont(*m_expiry, 13);
    accountLayout->addWidget(m_expiry);
    accountCard->addWidget(accountBox);
    layout->addWidget(accountSection);

    auto *tokenSection = new SettingsSection(tr("Token"), this);
    SettingsCard *tokenCard = tokenSection->card();
    auto *tokenLine = new QWidget(tokenCard);
    auto *tokenLayout = new QHBoxLayout(tokenLine);
    tokenLayout->setContentsMargins(16, 10, 16, 10);
    tokenLayout->setSpacing(12);
    m_token->setEchoMode(QLineEdit::Password);
    m_token->setAccessibleName(tr("Persönlicher Zugriffstoken"));
    m_token->setPlaceholderText(tr("Persönlicher Zugriffstoken"));
    SettingsStyle::setFont(*m_token, 14);
    tokenLayout->addWidget(m_token, 1);
    tokenLayout->addWidget(m_save);
    tokenLayout->addWidget(m_remove);
    tokenCard->addWidget(tokenLine);
    m_feedback->setWordWrap(true);
    m_feedback->setContentsMargins(16, 0, 16, 10);
    SettingsStyle::setFont(*m_feedback, 13);
    SettingsStyle::makeSecondary(*m_feedback);
    tokenCard->addWidget(m_feedback);
    layout->addWidget(tokenSection);

    auto *note = new QLabel(tr("Der Token liegt im Schlüsselbund des Systems und geht nur an die "
                               "GitHub-API (api.github.com). Beide GitHub-Module nutzen ihn ab ihrer "
                               "nächsten Anfrage."),
        this);
    note->setWordWrap(true);
    note->setContentsMargins(4, 0, 4, 0);
    SettingsStyle::setFont(*note, 13);
    SettingsStyle::makeSecondary(*note);
    layout->addWidget(note);

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
    connect(&m_account, &GitHubAccount::changed, this, &GitHubAccountPane::showAccount);
    showAccount();
    m_account.lookUpIfUnknown();
}

void GitHubAccountPane::showAccount()
{
    m_status->setText(PlainText::clean(m_account.statusText()));
    m_scopes->setText(PlainText::clean(m_account.scopesText()));
    m_scopes->setVisible(!m_account.scopesText().isEmpty());
    m_budget->setText(m_account.budgetText());
    m_budget->setVisible(!m_account.budgetText().isEmpty());
    m_notifications->setText(m_account.notificationsText());
    m_notifications->setVisible(!m_account.notificationsText().isEmpty());
    m_expiry->setText(m_account.expiryText());
    m_expiry->setVisible(!m_account.expiryText().isEmpty());
    m_feedback->setText(m_account.feedback());
    m_feedback->setVisible(!m_account.feedback().isEmpty());
    m_save->setEnabled(!m_account.isBusy());
    m_remove->setEnabled(!m_account.isBusy());
    m_readAgain->setEnabled(!m_account.isBusy());
}

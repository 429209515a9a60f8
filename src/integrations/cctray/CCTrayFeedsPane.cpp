#include "integrations/cctray/CCTrayFeedsPane.h"

#include "integrations/cctray/CCTrayFeeds.h"
#include "settings/PaneLayout.h"
#include "widgets/SettingsBlocks.h"
#include "widgets/SettingsStyle.h"

#include <QHBoxLayout>

#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QStandardItemModel>

#include <algorithm>

namespace {

constexpr int addressRole = Qt::UserRole + 1;
constexpr int projectRole = Qt::UserRole + 2;

void makeSecondaryLine(QLabel &label)
{
    label.setTextFormat(Qt::PlainText);
    label.setWordWrap(true);
    label.setContentsMargins(16, 0, 16, 10);
    SettingsStyle::setFont(label, 13);
    SettingsStyle::makeSecondary(label);
}

QWidget *line(QWidget *parent, std::initializer_list<QWidget *> widgets)
{
    auto *box = new QWidget(parent);
    auto *layout = new QHBoxLayout(box);
    layout->setContentsMargins(16, 10, 16, 10);
    layout->setSpacing(12);
    for (QWidget *widget : widgets)
        layout->addWidget(widget, qobject_cast<QLineEdit *>(widget) ? 1 : 0);
    return box;
}

} // namespace

CCTrayFeedsPane::CCTrayFeedsPane(CCTrayFeeds &feeds, QWidget *parent)
    : QWidget(parent)
    , m_feeds(feeds)
    , m_address(new QLineEdit)
    , m_user(new QLineEdit)
    , m_password(new QLineEdit)
    , m_add(new QPushButton(tr("Hinzufügen")))
    , m_feedback(new QLabel)
    , m_feedList(new QWidget)
    , m_feedLayout(new QVBoxLayout(m_feedList))
    , m_search(new QLineEdit)
    , m_count(new QLabel)
    , m_refusal(new QLabel)
    , m_model(new QStandardItemModel(this))
    , m_filter(new QSortFilterProxyModel(this))
    , m_projects(new QListView)
    , m_refresh(this, [this] {
        showFeeds();
        showProjects();
    })
{
    auto *layout = makePaneLayout(*this);

    auto *addSection = new SettingsSection(tr("Feed hinzufügen"), this);
    SettingsCard *addCard = addSection->card();
    m_address->setAccessibleName(tr("Feed-Adresse"));
    m_address->setPlaceholderText(QStringLiteral("https://ci.example.com/cc.xml"));
    m_user->setAccessibleName(tr("Benutzername (falls nötig)"));
    m_user->setPlaceholderText(m_user->accessibleName());
    m_password->setEchoMode(QLineEdit::Password);
    m_password->setAccessibleName(tr("Passwort oder API-Token (falls nötig)"));
    m_password->setPlaceholderText(m_password->accessibleName());
    for (QLineEdit *field : { m_address, m_user, m_password })
        SettingsStyle::setFont(*field, 14);
    addCard->addWidget(line(addCard, { m_address }));
    addCard->addWidget(line(addCard, { m_user, m_password, m_add }));
    makeSecondaryLine(*m_feedback);
    addCard->addWidget(m_feedback);
    layout->addWidget(addSection);

    auto *feedSection = new SettingsSection(tr("Feeds"), this);
    m_feedLayout->setContentsMargins(0, 0, 0, 0);
    m_feedLayout->setSpacing(0);
    feedSection->card()->addWidget(m_feedList);
    layout->addWidget(feedSection);

    auto *projectSection = new SettingsSection(tr("Projekte"), this);
    SettingsCard *projectCard = projectSection->card();
    m_search->setAccessibleName(tr("Projekte durchsuchen"));
    m_search->setPlaceholderText(m_search->accessibleName());
    m_search->setClearButtonEnabled(true);
    SettingsStyle::setFont(*m_search, 14);
    projectCard->addWidget(line(projectCard, { m_search, m_count }));
    m_filter->setSourceModel(m_model);
    m_filter->setFilterCaseSensitivity(Qt::CaseInsensitive);
    m_projects->setModel(m_filter);
    m_projects->setAccessibleName(tr("Projekte der Feeds"));
    m_projects->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_projects->setUniformItemSizes(true);
    m_projects->setMinimumHeight(240);
    projectCard->addWidget(m_projects);
    makeSecondaryLine(*m_refusal);
    m_refusal->setContentsMargins(16, 10, 16, 10);
    projectCard->addWidget(m_refusal);
    layout->addWidget(projectSection);

    connect(m_add, &QPushButton::clicked, this, &CCTrayFeedsPane::add);
    for (QLineEdit *field : { m_address, m_user, m_password })
        connect(field, &QLineEdit::returnPressed, this, &CCTrayFeedsPane::add);
    connect(m_search, &QLineEdit::textChanged, m_filter, &QSortFilterProxyModel::setFilterFixedString);
    connect(m_model, &QStandardItemModel::itemChanged, this, &CCTrayFeedsPane::checked);
    // Later, not now: a check in the list may be what changed the feeds, and its item is still
    // being changed.
    connect(&m_feeds, &CCTrayFeeds::changed, this, [this] { m_refresh.request(); });
    showFeeds();
    showProjects();
}

void CCTrayFeedsPane::add()
{
    if (m_feeds.isBusy())
        return;
    // The secret leaves the field before anything else happens, so it never lingers there.
    const QString password = m_password->text();
    m_password->clear();
    const int before = int(m_feeds.feeds().size());
    m_feeds.add(m_address->text(), m_user->text(), password);
    if (m_feeds.feeds().size() > before || m_feeds.isBusy()) {
        m_address->clear();
        m_user->clear();
    }
}

void CCTrayFeedsPane::showFeeds()
{
    m_feedback->setText(m_feeds.isBusy() ? tr("Zugangsdaten werden gespeichert …") : m_feeds.feedback());
    m_feedback->setVisible(!m_feedback->text().isEmpty());
    m_add->setEnabled(!m_feeds.isBusy());
    while (QLayoutItem *item = m_feedLayout->takeAt(0)) {
        // Later, not now: the row's own button may be the one whose press led here.
        item->widget()->hide();
        item->widget()->deleteLater();
        delete item;
    }
    const QList<CCTrayFeeds::Feed> feeds = m_feeds.feeds();
    if (feeds.isEmpty()) {
        auto *none = new QLabel(tr("Noch kein Feed. Jenkins: …/cc.xml, GoCD: …/go/cctray.xml, Buildkite und "
                                   "CircleCI nennen die Adresse samt Token in ihren Einstellungen."),
            m_feedList);
        makeSecondaryLine(*none);
        none->setContentsMargins(16, 12, 16, 12);
        m_feedLayout->addWidget(none);
        return;
    }
    for (const CCTrayFeeds::Feed &feed : feeds) {
        QStringList state;
        if (!feed.address.isEncrypted())
            state.append(tr("unverschlüsselt (http)"));
        if (feed.problem)
            state.append(*feed.problem);
        else if (feed.answered)
            state.append(tr("%n Projekte", nullptr, int(feed.projects.size())));
        else
            state.append(tr("Wartet auf die erste Antwort"));
        auto *trailing = new QWidget;
        auto *trailingLayout = new QHBoxLayout(trailing);
        trailingLayout->setContentsMargins(0, 0, 0, 0);
        trailingLayout->setSpacing(12);
        auto *stateLabel = new QLabel(state.join(QStringLiteral(" \u00B7 ")), trailing);
        stateLabel->setTextFormat(Qt::PlainText);
        SettingsStyle::setFont(*stateLabel, 13);
        SettingsStyle::makeSecondary(*stateLabel);
        auto *remove = new QPushButton(tr("Entfernen"), trailing);
        remove->setAccessibleName(tr("%1 entfernen").arg(feed.address.hostAndPath()));
        connect(
            remove, &QPushButton::clicked, this, [this, address = feed.address.text()] { m_feeds.remove(address); });
        trailingLayout->addWidget(stateLabel);
        trailingLayout->addWidget(remove);
        auto *row = new SettingsRow(feed.address.hostAndPath(), trailing, m_feedList);
        row->titleLabel()->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
        m_feedLayout->addWidget(row);
        m_feedLayout->addWidget(new SettingsDivider(m_feedList));
    }
}

void CCTrayFeedsPane::showProjects()
{
    const QList<CCTrayFeeds::Feed> feeds = m_feeds.feeds();
    m_count->setText(tr("%1 von %2 beobachtet").arg(m_feeds.watchedCount()).arg(CCTrayFeeds::maximumWatched));
    // Per feed its projects, and the watched ones it no longer lists, so they can be unchecked.
    QList<std::pair<const CCTrayFeeds::Feed *, QStringList>> listed;
    QStringList shown;
    for (const CCTrayFeeds::Feed &feed : feeds) {
        QStringList names;
        for (const CCTrayProject &project : feed.projects)
            names.append(project.name);
        for (const QString &name : feed.watched) {
            if (!names.contains(name))
                names.append(name);
        }
        for (const QString &name : std::as_const(names))
            shown.append(feed.address.text() + u'\n' + name);
        listed.append({ &feed, names });
    }
    m_building = true;
    if (shown == m_shown) {
        // The same list: only its checks follow, and it stays scrolled where the user left it.
        for (int row = 0; row < m_model->rowCount(); ++row) {
            QStandardItem *item = m_model->item(row);
            const auto feed = std::find_if(feeds.cbegin(), feeds.cend(),
                [&](const auto &f) { return f.address.text() == item->data(addressRole).toString(); });
            const bool watched = feed != feeds.cend() && feed->watched.contains(item->data(projectRole).toString());
            if ((item->checkState() == Qt::Checked) != watched)
                item->setCheckState(watched ? Qt::Checked : Qt::Unchecked);
        }
        m_building = false;
        return;
    }
    m_shown = shown;
    m_model->clear();
    for (const auto &[feedPointer, names] : listed) {
        const CCTrayFeeds::Feed &feed = *feedPointer;
        for (const QString &name : names) {
            // From the server: a plain item text, never markup.
            auto *item = new QStandardItem(
                feeds.size() > 1 ? name + QStringLiteral(" \u00B7 ") + feed.address.url.host() : name);
            item->setCheckable(true);
            item->setCheckState(feed.watched.contains(name) ? Qt::Checked : Qt::Unchecked);
            item->setData(feed.address.text(), addressRole);
            item->setData(name, projectRole);
            m_model->appendRow(item);
        }
    }
    m_building = false;
}

void CCTrayFeedsPane::checked(QStandardItem *item)
{
    if (m_building)
        return;
    const bool watch = item->checkState() == Qt::Checked;
    if (m_feeds.setWatched(item->data(addressRole).toString(), item->data(projectRole).toString(), watch)) {
        m_refusal->clear();
        return;
    }
    m_building = true;
    item->setCheckState(Qt::Unchecked);
    m_building = false;
    m_refusal->setText(
        tr("Mehr als %n Projekte über alle Feeds sind nicht möglich.", nullptr, CCTrayFeeds::maximumWatched));
}

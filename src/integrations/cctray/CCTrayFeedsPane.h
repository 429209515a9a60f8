#pragma once

#include "core/CoalescedCall.h"

#include <QStringList>
#include <QWidget>

class CCTrayFeeds;
class QLabel;
class QLineEdit;
class QListView;
class QPushButton;
class QSortFilterProxyModel;
class QStandardItem;
class QStandardItemModel;
class QVBoxLayout;

// The CI feeds' pane: a feed added by its address, with a user name and a password or API token
// where the server asks for them (the field is emptied once pressed, so a secret is never shown
// again); the feeds with how each is read (an http feed says it is unencrypted) and a button that
// removes it; and every project the feeds list, found with a search field, each with a check that
// watches it (at most CCTrayFeeds::maximumWatched over all feeds).
class CCTrayFeedsPane final : public QWidget {
    Q_OBJECT
public:
    explicit CCTrayFeedsPane(CCTrayFeeds &feeds, QWidget *parent = nullptr);

    QLineEdit *search() const { return m_search; }
    QListView *projects() const { return m_projects; }

private:
    void add();
    void showFeeds();
    void showProjects();
    void checked(QStandardItem *item);

    CCTrayFeeds &m_feeds;
    QLineEdit *m_address;
    QLineEdit *m_user;
    QLineEdit *m_password;
    QPushButton *m_add;
    QLabel *m_feedback;
    QWidget *m_feedList;
    QVBoxLayout *m_feedLayout;
    QLineEdit *m_search;
    QLabel *m_count;
    QLabel *m_refusal;
    QStandardItemModel *m_model;
    QSortFilterProxyModel *m_filter;
    QListView *m_projects;
    QStringList m_shown; // what the project list was built from
    bool m_building = false;
    CoalescedCall m_refresh; // the list is being made: its checks are no user's
};

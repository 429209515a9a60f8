// The feeds' pane over a plain-http feed on this computer with sixty projects: adding it (the
// password field emptied, the feed said to be unencrypted), finding projects with the search
// field, and checking them up to the limit.
#include "HttpsTestServer.h"
#include "InMemorySecretStore.h"
#include "ManualScheduler.h"
#include "TempPreferences.h"

#include "integrations/cctray/CCTrayFeeds.h"
#include "integrations/cctray/CCTrayFeedsPane.h"

#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QNetworkAccessManager>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

template<class T> T *named(QWidget &root, const QString &accessibleName)
{
    for (T *child : root.findChildren<T *>()) {
        if (child->accessibleName() == accessibleName)
            return child;
    }
    ADD_FAILURE() << "no control named " << accessibleName.toStdString();
    return nullptr;
}

// Whether a shown line holds `part`, once the pane has caught up with the feeds.
bool showsText(QWidget &root, const QString &part)
{
    return QTest::qWaitFor([&] {
        const QList<QLabel *> labels = root.findChildren<QLabel *>();
        return std::any_of(labels.cbegin(), labels.cend(),
            [&](const QLabel *label) { return label->isVisibleTo(&root) && label->text().contains(part); });
    });
}

TEST(CCTrayFeedsPane, AddsAPlainFeedFindsItsProjectsAndChecksThemUpToTheLimit)
{
    HttpsTestServer server;
    server.setPlain(true);
    ASSERT_TRUE(server.start());
    QByteArray body = "<Projects>";
    for (int i = 0; i < 60; ++i)
        body += "<Project name=\"pipe :: job-" + QByteArray::number(i) + "\" lastBuildStatus=\"Success\"/>";
    server.setResponse(u"/cc.xml"_s, { 200, {}, body + "</Projects>" });
    QNetworkAccessManager network;
    TempPreferences prefs;
    InMemorySecretStore secrets;
    ManualScheduler scheduler;
    CCTrayFeeds feeds { *prefs.store, secrets, scheduler, CCTrayClient(network, {}) };
    feeds.start();
    CCTrayFeedsPane pane(feeds);
    pane.show();
    EXPECT_TRUE(showsText(pane, u"Noch kein Feed."_s));

    auto *address = named<QLineEdit>(pane, u"Feed-Adresse"_s);
    auto *password = named<QLineEdit>(pane, u"Passwort oder API-Token (falls nötig)"_s);
    address->setText(u"http://ci.example.com/cc.xml"_s);
    named<QLineEdit>(pane, u"Benutzername (falls nötig)"_s)->setText(u"me"_s);
    password->setText(u"pa55word"_s);
    QTest::keyClick(password, Qt::Key_Return);
    EXPECT_TRUE(password->text().isEmpty()) << "the secret never stays in the field";
    EXPECT_TRUE(showsText(pane, u"Zugangsdaten gehen nur über https://"_s));
    EXPECT_TRUE(feeds.feeds().isEmpty() && secrets.items.isEmpty());

    address->setText(server.url(u"/cc.xml"_s).toString());
    named<QLineEdit>(pane, u"Benutzername (falls nötig)"_s)->clear();
    QTest::keyClick(address, Qt::Key_Return);
    ASSERT_EQ(feeds.feeds().size(), 1);
    EXPECT_TRUE(address->text().isEmpty());
    ASSERT_TRUE(showsText(pane, u"60 Projekte"_s));
    EXPECT_TRUE(showsText(pane, u"unverschlüsselt (http)"_s));

    QListView *list = pane.projects();
    EXPECT_EQ(list->model()->rowCount(), 60);
    QTest::keyClicks(pane.search(), u"JOB-1"_s);
    EXPECT_EQ(list->model()->rowCount(), 11) << "job-1 and job-10 to job-19, in any case";

    const QString feed = feeds.feeds().first().address.text();
    for (int i = 0; i < CCTrayFeeds::maximumWatched; ++i)
        ASSERT_TRUE(feeds.setWatched(feed, u"pipe :: job-%1"_s.arg(i + 10), true));
    EXPECT_TRUE(showsText(pane, u"50 von 50 beobachtet"_s));
    const QModelIndex first = list->model()->index(0, 0);
    EXPECT_EQ(first.data().toString(), u"pipe :: job-1"_s);
    list->model()->setData(first, Qt::Checked, Qt::CheckStateRole);
    EXPECT_EQ(first.data(Qt::CheckStateRole).toInt(), Qt::Unchecked);
    EXPECT_TRUE(showsText(pane, u"Mehr als 50 Projekte über alle Feeds sind nicht möglich."_s));
    const QModelIndex checked = list->model()->index(1, 0);
    EXPECT_EQ(checked.data(Qt::CheckStateRole).toInt(), Qt::Checked);
    const QString name = checked.data().toString();
    list->model()->setData(checked, Qt::Unchecked, Qt::CheckStateRole);
    EXPECT_EQ(feeds.watchedCount(), 49);
    EXPECT_FALSE(feeds.feeds().first().watched.contains(name));
}

} // namespace

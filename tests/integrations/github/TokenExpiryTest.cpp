// The warning before the token ends: the header's forms, the week's warning line, the flash on
// the day before (once for an end, also across a restart), a new token starting afresh.
#include "ManualScheduler.h"
#include "TempPreferences.h"

#include "core/EventBus.h"
#include "integrations/github/GitHubCredentials.h"
#include "integrations/github/GitHubIntegration.h"
#include "services/TokenExpiry.h"

#include <QLocale>
#include <QScopeGuard>

#include <ctime>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

TEST(TokenExpiry, WarnsInTheLastWeekAndFlashesOnceOnTheDayBefore)
{
    EXPECT_EQ(GitHubCredentials::expiryFromHeader("2027-01-12 09:30:00 UTC"),
        QDateTime(QDate(2027, 1, 12), QTime(9, 30), Qt::UTC));
    EXPECT_EQ(GitHubCredentials::expiryFromHeader("2027-01-12 09:30:00 -08:00"),
        QDateTime(QDate(2027, 1, 12), QTime(17, 30), Qt::UTC));
    EXPECT_EQ(GitHubCredentials::expiryFromHeader("2027-01-12 09:30:00 +1400"),
        QDateTime(QDate(2027, 1, 11), QTime(19, 30), Qt::UTC));
    for (const char *broken : { "", "tomorrow", "2027-13-40 09:30:00 UTC", "2027-01-12 09:30:00 CET",
             "2027-01-12 09:30:00 +99:99", "2027-01-12 09:30:00 +1401", "2027-01-12 09:30:00 -01:60" })
        EXPECT_FALSE(GitHubCredentials::expiryFromHeader(broken)) << broken;
    {
        // Never read as local time: in Berlin this moment's wall time falls into the hour skipped
        // for summer time.
        const QByteArray zone = qgetenv("TZ");
        const auto restoreZone = qScopeGuard([&] {
            if (zone.isNull())
                qunsetenv("TZ");
            else
                qputenv("TZ", zone);
            tzset();
        });
        qputenv("TZ", "Europe/Berlin");
        tzset();
        EXPECT_EQ(GitHubCredentials::expiryFromHeader("2027-03-28 02:30:00 UTC"),
            QDateTime(QDate(2027, 3, 28), QTime(2, 30), Qt::UTC));
    }
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(TokenExpiry::dayAndMonth(QDate(2027, 1, 12)), u"12.01."_s);
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    EXPECT_EQ(TokenExpiry::dayAndMonth(QDate(2027, 1, 12)), u"1/12"_s);
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));

    TempPreferences temp;
    ManualScheduler scheduler;
    QStringList flashes;
    GitHubCredentials credentials(u"ghp_expiring"_s);
    const QDateTime end = QDate(2027, 1, 12).startOfDay().addSecs(9 * 3600);
    QDateTime now = end.addDays(-10);
    const auto make = [&] {
        auto made = std::make_unique<TokenExpiry>(
            credentials, GitHubIntegration::tokenEnd, scheduler, *temp.store, [&] { return now; });
        QObject::connect(made.get(), &TokenExpiry::dayBefore, [&](const QString &warning) { flashes << warning; });
        return made;
    };
    auto expiry = make();
    credentials.noteExpiry(u"ghp_older"_s, end);
    EXPECT_FALSE(credentials.expiry()) << "an answer for another token";
    credentials.noteExpiry(u"ghp_expiring"_s, end);
    EXPECT_FALSE(expiry->warningText()) << "ten days ahead";
    EXPECT_EQ(scheduler.nextDelay(), 3 * 86400) << "woken when the week begins";

    // The scheduled moments: the week's start, then the day before.
    now = end.addDays(-7);
    scheduler.advance(scheduler.nextDelay());
    EXPECT_EQ(expiry->warningText(), u"Token läuft am 12.01. ab"_s);
    now = QDate(2027, 1, 10).startOfDay().addSecs(12 * 3600);
    credentials.noteExpiry(u"ghp_expiring"_s, end);
    EXPECT_TRUE(flashes.isEmpty()) << "two days before";
    now = QDate(2027, 1, 11).startOfDay();
    scheduler.advance(scheduler.nextDelay());
    EXPECT_EQ(flashes, QStringList { u"Token läuft am 12.01. ab"_s });
    // Once for this end: more answers and a restart do not repeat it.
    credentials.noteExpiry(u"ghp_expiring"_s, end);
    expiry = make();
    EXPECT_EQ(flashes.size(), 1);
    EXPECT_TRUE(expiry->warningText());

    // A new token starts afresh; a computer that slept past the end finds out at the next answer.
    credentials.setToken(u"ghp_new"_s);
    EXPECT_FALSE(credentials.expiry());
    EXPECT_FALSE(expiry->warningText());
    credentials.noteExpiry(u"ghp_new"_s, end);
    EXPECT_TRUE(expiry->warningText());
    now = end.addSecs(60);
    credentials.noteExpiry(u"ghp_new"_s, end);
    EXPECT_FALSE(expiry->warningText());
}

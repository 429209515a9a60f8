// The application through a simulated day of polls against a GitHub whose runs move with the clock.
// After a warm-up, resident memory and open descriptors must stay flat: a leak per poll, or the TLS
// sessions that kept-alive connections hoard unless they are dropped now and then, show over a day.
#include "AppFixture.h"

#include "core/prefs/AppPreferences.h"

#include <QDir>
#include <QNetworkReply>

#include <unistd.h>

namespace {

using namespace Qt::StringLiterals;
using Soak = AppFixture;

std::pair<long, qsizetype> footprint() // resident KiB, open descriptors
{
    QFile statm(u"/proc/self/statm"_s);
    const long pages = statm.open(QIODevice::ReadOnly) ? statm.readAll().split(' ').value(1).toLong() : 0;
    return { pages * (sysconf(_SC_PAGESIZE) / 1024),
        QDir(u"/proc/self/fd"_s).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot).size() };
}

TEST_F(Soak, ADayOfPollsLeavesMemoryAndDescriptorsFlat)
{
    // A new run every 20 minutes, every other one failing: the overlay announces each.
    int answered = 0;
    server.setHandler([&](const HttpsTestServer::Request &request) {
        ++answered;
        const int id = int(scheduler.now() / 1200);
        return HttpsTestServer::Response::json(
            request.path().endsWith("/actions/runs") ? runsPage(id, id % 2 ? u"failure"_s : u"success"_s) : "[]");
    });
    prefs.store->setValue(AppPreferences::showSettingsOnLaunch, false);
    create().applicationDidFinishLaunching();

    runUntil(3 * 3600); // caches and the first TLS sessions are made by now
    const auto [rssBefore, fdsBefore] = footprint();
    const int answeredBefore = answered;
    runUntil(24 * 3600);
    const auto [rssAfter, fdsAfter] = footprint();
    EXPECT_GT(answered - answeredBefore, 2000) << "the modules kept polling";
    EXPECT_LT(rssAfter - rssBefore, 2048) << rssBefore << " KiB after the warm-up, " << rssAfter << " at the end";
    EXPECT_EQ(fdsAfter, fdsBefore);
}

} // namespace

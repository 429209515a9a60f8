#include "core/ModuleRow.h"

#include <gtest/gtest.h>

namespace {

// The wait until an age reads differently ends exactly where relativeAge changes its words.
TEST(ModuleRowAge, NextChangeIsWhereTheTextChanges)
{
    const QDateTime since(QDate(2026, 3, 1), QTime(12, 0), Qt::UTC);
    const qint64 ages[]
        = { -5000, 0, 9999, 10000, 42500, 59999, 60000, 150000, 3599000, 3600000, 86399000, 90000000, 200000000 };
    for (const qint64 age : ages) {
        const QDateTime now = since.addMSecs(age);
        const double wait = secondsUntilAgeChanges(since, now);
        ASSERT_GT(wait, 0) << age;
        const qint64 waitMs = qint64(wait * 1000 + 0.5);
        EXPECT_EQ(relativeAge(since, now.addMSecs(waitMs - 1)), relativeAge(since, now)) << age;
        EXPECT_NE(relativeAge(since, now.addMSecs(waitMs)), relativeAge(since, now)) << age;
    }
}

} // namespace

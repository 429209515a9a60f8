#include "QtPrinters.h"
#include "core/ModuleRow.h"
#include "core/PlainText.h"

#include <gtest/gtest.h>

namespace {

using namespace Qt::StringLiterals;

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

// Text from outside loses what could hide or reorder it on screen, and nothing else.
TEST(PlainText, ControlCharactersAndBidiOverridesGoLineBreaksBecomeOneSpace)
{
    const std::pair<QString, QString> table[] = {
        { u"<b>x</b> & Ä · 🚀"_s, u"<b>x</b> & Ä · 🚀"_s },
        { u"main\u202E\u2066evil\u2069\u202A\u202B\u202C\u202D"_s, u"mainevil"_s },
        { u"a\u0000b\u0007c\u001Bd\u007Fe\u0085f\u009Bg"_s, u"abcdefg"_s },
        { u"first\r\nsecond\tthird\u2028fourth"_s, u"first second third fourth"_s },
        { u"\u200Fkept\u200E"_s, u"\u200Fkept\u200E"_s }, // marks only set a direction, they move nothing
    };
    for (const auto &[input, shown] : table)
        EXPECT_EQ(PlainText::clean(input), shown) << input.toStdString();
    EXPECT_EQ(PlainText::buttonText(u"Build & Test\n"_s), u"Build && Test "_s);
}

} // namespace

// The strict decoding rules, once for every record: exact keys, absent and null alike for optional
// fields, the first failing key named, one bad element failing the whole answer.
#include "QtPrinters.h"

#include "services/JsonReader.h"

#include <gtest/gtest.h>

namespace {

struct Item {
    qint64 id;
    std::optional<QString> name;
    QDateTime created;
    std::optional<QUrl> link;
    QStringList names;
    QString owner;
};

QList<Item> decodePage(const QByteArray &bytes)
{
    return JsonReader::decodeObject(bytes, [](const JsonReader &json) {
        return json.array("items", [](const JsonReader &item) {
            return Item { item.int64("id"), item.optionalString("name"), item.dateTime("created"),
                item.optionalUrl("link"), item.stringList("names"), item.object("repo").string("owner") };
        });
    });
}

// The path of the first failing key, or "no error".
QString failingPath(const QByteArray &bytes)
{
    try {
        decodePage(bytes);
    } catch (const JsonDecodeError &error) {
        return error.path();
    }
    return QStringLiteral("no error");
}

const QByteArray tail = R"("created": "2026-12-07T19:22:38Z", "names": [], "repo": {"owner": "o"})";

TEST(JsonReader, OptionalKeysTreatAbsentAndNullAlikeAndExtraKeysAreIgnored)
{
    const auto items = decodePage(R"({"total": 2, "items": [
        {"id": 9007199254740993, "name": null, "link": null, "extra": {"a": [1]}, )" + tail + R"(},
        {"id": 2, "name": "Build", "created": "2026-12-07T21:22:38+02:00", "link": "https://example.com/x",
         "names": ["/web", "/db"], "repo": {"owner": "o/r"}}]})");
    ASSERT_EQ(items.size(), 2);
    EXPECT_EQ(items[0].id, 9007199254740993LL) << "64-bit ids are kept exactly";
    EXPECT_FALSE(items[0].name || items[0].link);
    EXPECT_EQ(items[0].created, items[1].created) << "zone designators are honoured";
    EXPECT_EQ(items[1].link, QUrl(QStringLiteral("https://example.com/x")));
    EXPECT_EQ((items[1].names + QStringList { *items[1].name, items[1].owner }),
        QStringList({ QStringLiteral("/web"), QStringLiteral("/db"), QStringLiteral("Build"), QStringLiteral("o/r") }));
}

TEST(JsonReader, TheFirstFailingKeyIsReportedAndFailsTheWholeAnswer)
{
    const struct {
        QByteArray json;
        const char *path;
    } cases[] = {
        { R"({"items": [{"id": 1, )" + tail + R"(}, {"id": 2}]})", "items[1].created" },
        { R"({"items": [{"id": null, "created": null}]})", "items[0].id" },
        { R"({"items": [{"id": 1.5}]})", "items[0].id" },
        { R"({"items": [{"id": 1, "name": 3}]})", "items[0].name" },
        { R"({"items": [{"id": 1, "created": "2026-12-07T19:22:38Z", "link": "http://a b"}]})", "items[0].link" },
        { R"({"items": [{"id": 1, "created": "2026-12-07T19:22:38Z", "names": ["/web", 1]}]})", "items[0].names[1]" },
        { R"({"items": [{"id": 1, "created": "2026-12-07T19:22:38Z", "names": [], "repo": {}}]})",
            "items[0].repo.owner" },
        { R"({"items": [7]})", "items[0]" },
        { "[]", "" }, // wrong top level
        { R"({"items": [)", "" }, // not JSON
    };
    for (const auto &c : cases)
        EXPECT_EQ(failingPath(c.json), QString::fromLatin1(c.path)) << c.json.toStdString();
}

TEST(JsonReader, DateTimesMustBeInternetDateTimes)
{
    for (const char *invalid : { "2023-02-29T10:00:00Z", "2026-12-07T24:00:00Z", "2026-12-07", "2026-12-07 19:22:38Z" })
        EXPECT_FALSE(JsonReader::parseDateTime(QString::fromLatin1(invalid)).isValid()) << invalid;
    EXPECT_EQ(JsonReader::parseDateTime(u"2024-02-29T23:59:59-05:30"),
        QDateTime(QDate(2024, 3, 1), QTime(5, 29, 59), Qt::UTC));
}

} // namespace

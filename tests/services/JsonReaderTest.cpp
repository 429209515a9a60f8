#include "services/JsonReader.h"

#include <gtest/gtest.h>

#include "QtPrinters.h"

namespace {

struct Item {
    qint64 id;
    std::optional<QString> name;
    QDateTime created;
    std::optional<QUrl> link;
};

Item decodeItem(const JsonReader &json)
{
    return { json.int64("id"), json.optionalString("name"), json.dateTime("created"), json.optionalUrl("link") };
}

QList<Item> decodePage(const QByteArray &bytes)
{
    return JsonReader::decodeObject(bytes, [](const JsonReader &json) { return json.array("items", decodeItem); });
}

// The error's path, or "no error" when decoding succeeded.
template<typename Fn> QString failingPath(Fn decode)
{
    try {
        decode();
    } catch (const JsonDecodeError &error) {
        return error.path();
    }
    return QStringLiteral("no error");
}

} // namespace

TEST(JsonReader, OptionalKeysTreatAbsentAndNullAlikeAndExtraKeysAreIgnored)
{
    const auto items = decodePage(R"({"total": 2, "items": [
        {"id": 9007199254740993, "name": null, "created": "2026-12-07T19:22:38Z", "link": null, "extra": {"a": [1]}},
        {"id": 2, "name": "Build", "created": "2026-12-07T21:22:38+02:00", "link": "https://example.com/x"}]})");
    ASSERT_EQ(items.size(), 2);
    EXPECT_EQ(items[0].id, 9007199254740993LL) << "64-bit ids are kept exactly";
    EXPECT_FALSE(items[0].name.has_value());
    EXPECT_FALSE(items[0].link.has_value());
    EXPECT_EQ(items[1].name, QStringLiteral("Build"));
    EXPECT_EQ(items[0].created, items[1].created) << "zone designators are honoured";
    EXPECT_EQ(items[1].link, QUrl(QStringLiteral("https://example.com/x")));
    EXPECT_TRUE(decodePage(R"({"items": []})").isEmpty());
}

TEST(JsonReader, TheFirstFailingKeyIsReportedAndFailsTheWholeAnswer)
{
    const auto path = [](const char *json) { return failingPath([&] { decodePage(json); }); };
    EXPECT_EQ(path(R"({"items": [{"id": 1, "created": "2026-12-07T19:22:38Z"}, {"id": 2}]})"),
        QStringLiteral("items[1].created"));
    EXPECT_EQ(path(R"({"items": [{"id": null, "created": null}]})"), QStringLiteral("items[0].id"));
    EXPECT_EQ(path(R"({"items": [{"id": "1", "created": "2026-12-07T19:22:38Z"}]})"), QStringLiteral("items[0].id"));
    EXPECT_EQ(path(R"({"items": [{"id": 1.5, "created": "2026-12-07T19:22:38Z"}]})"), QStringLiteral("items[0].id"));
    EXPECT_EQ(path(R"({"items": [{"id": 1, "name": 3, "created": "2026-12-07T19:22:38Z"}]})"),
        QStringLiteral("items[0].name"));
    EXPECT_EQ(path(R"({"items": [{"id": 1, "created": "2026-12-07T19:22:38Z", "link": "http://a b"}]})"),
        QStringLiteral("items[0].link"));
    EXPECT_EQ(path(R"({"items": [7]})"), QStringLiteral("items[0]"));
    EXPECT_EQ(path(R"({"Items": []})"), QStringLiteral("items")) << "keys match exactly, case included";
    EXPECT_EQ(path(R"([])"), QString()) << "wrong top level";
    EXPECT_EQ(path(R"({"items": [)"), QString()) << "not JSON";
    EXPECT_EQ(path(""), QString());
}

TEST(JsonReader, DateTimesMustBeInternetDateTimes)
{
    const auto valid = [](const char *text) { return JsonReader::parseDateTime(QString::fromLatin1(text)).isValid(); };
    EXPECT_TRUE(valid("2024-02-29T23:59:59Z"));
    EXPECT_TRUE(valid("2026-12-07T19:22:38-05:30"));
    EXPECT_FALSE(valid("2023-02-29T10:00:00Z")) << "no such day";
    EXPECT_FALSE(valid("2026-12-07T24:00:00Z"));
    EXPECT_FALSE(valid("2026-12-07 19:22:38Z"));
    EXPECT_FALSE(valid("2026-12-07T19:22:38"));
    EXPECT_FALSE(valid("2026-12-07T19:22:38.123Z"));
    EXPECT_FALSE(valid("2026-12-07"));
    EXPECT_FALSE(valid("2026-12-07T19:22:38+0200"));
    EXPECT_EQ(JsonReader::parseDateTime(u"2026-12-07T21:22:38+02:00"),
        QDateTime(QDate(2026, 12, 7), QTime(19, 22, 38), Qt::UTC));
}

TEST(JsonReader, StringListsAndNestedObjectsNameTheirElements)
{
    const auto decode = [](const QByteArray &bytes) {
        return JsonReader::decodeArray(bytes, [](const JsonReader &json) {
            return std::pair<QStringList, QString> { json.stringList("Names"),
                json.object("repository").string("full_name") };
        });
    };
    const auto ok = decode(R"([{"Names": ["/web", "/db"], "repository": {"full_name": "o/r"}}])");
    ASSERT_EQ(ok.size(), 1);
    EXPECT_EQ(ok[0].first, (QStringList { QStringLiteral("/web"), QStringLiteral("/db") }));
    EXPECT_EQ(ok[0].second, QStringLiteral("o/r"));
    EXPECT_EQ(
        failingPath([&] { decode(R"([{"Names": ["/web", 1], "repository": {}}])"); }), QStringLiteral("[0].Names[1]"));
    EXPECT_EQ(failingPath([&] { decode(R"([{"Names": [], "repository": {}}])"); }),
        QStringLiteral("[0].repository.full_name"));
    EXPECT_EQ(failingPath([&] { decode(R"([{"Names": null}])"); }), QStringLiteral("[0].Names"));
}

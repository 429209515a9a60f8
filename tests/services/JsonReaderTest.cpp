// The strict decoding rules, once for every record: exact keys, absent and null alike for optional
// fields, the first failing key named, one bad element failing the whole answer.
#include "QtPrinters.h"

#include "services/JsonReader.h"

#include <gtest/gtest.h>

namespace {

using namespace Qt::StringLiterals;

// Each item as a line of its fields, or the path of the first failing key.
QString decoded(const QByteArray &bytes)
{
    try {
        return JsonReader::decodeObject(bytes, [](const JsonReader &json) {
            return json.array("items", [](const JsonReader &item) {
                return QStringList { QString::number(item.int64("id")), item.optionalString("name").value_or(u"-"_s),
                    item.dateTime("created").toString(Qt::ISODate),
                    item.optionalUrl("link").value_or(QUrl(u"-"_s)).toString(), item.stringList("names").join(u','),
                    item.object("repo").string("owner") }
                    .join(u' ');
            });
        }).join(u'\n');
    } catch (const JsonDecodeError &error) {
        return u"error at "_s + error.path();
    }
}

TEST(JsonReader, DecodesExactlyOrNamesTheFirstFailingKey)
{
    const struct {
        QByteArray json;
        const char *decoded;
    } cases[] = {
        { R"({"total": 2, "items": [{"id": 9007199254740993, "name": null, "link": null, "extra": {"a": [1]},
           "created": "2026-12-07T19:22:38Z", "names": [], "repo": {"owner": "o"}},
          {"id": 2, "name": "Bu\u202eil\u0007d", "created": "2024-02-29T23:59:59-05:30", "link": "https://example.com/x",
           "names": ["/w\u2066eb", "/db"], "repo": {"owner": "o/r"}}]})",
            "9007199254740993 - 2026-12-07T19:22:38Z -  o\n2 Build 2024-03-01T05:29:59Z https://example.com/x /web,/db "
            "o/r" },
        { R"({"items": []})", "" },
        { R"({"items": [{"id": 1, "created": "2026-12-07T19:22:38Z", "names": [], "repo": {"owner": "o"}},
           {"id": 2}]})",
            "error at items[1].created" },
        { R"({"items": [{"id": null, "created": null}]})", "error at items[0].id" },
        { R"({"items": [{"id": 1, "name": 3}]})", "error at items[0].name" },
        { R"({"items": [{"id": 1, "created": "2026-12-07T19:22:38Z", "link": "http://a b"}]})",
            "error at items[0].link" },
        { R"({"items": [{"id": 1, "created": "2026-12-07T19:22:38Z", "names": ["/web", 1]}]})",
            "error at items[0].names[1]" },
        { R"({"items": [{"id": 1, "created": "2026-12-07T19:22:38Z", "names": [], "repo": {}}]})",
            "error at items[0].repo.owner" },
        { R"({"items": [7]})", "error at items[0]" }, { "[]", "error at " }, // wrong top level
        { R"({"items": [)", "error at " }, // not JSON
    };
    for (const auto &c : cases)
        EXPECT_EQ(decoded(c.json), QString::fromLatin1(c.decoded)) << c.json.toStdString();
    for (const char *date : { "2023-02-29T10:00:00Z", "2026-12-07T24:00:00Z", "2026-12-07", "2026-12-07 19:22:38Z" })
        EXPECT_EQ(decoded(R"({"items": [{"id": 1, "created": ")" + QByteArray(date) + R"("}]})"),
            u"error at items[0].created"_s)
            << date;
}

} // namespace

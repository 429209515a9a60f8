#pragma once

#include <QDateTime>
#include <QJsonArray>
#include <QJsonObject>
#include <QList>
#include <QString>
#include <QStringList>
#include <QUrl>

#include <optional>
#include <stdexcept>
#include <type_traits>

// A JSON answer that does not have the shape a record expects. `path` names the first key that
// failed (for example "workflow_runs[3].html_url"); values are never quoted, so an error can be
// shown or logged without leaking what the answer held.
class JsonDecodeError final : public std::runtime_error {
public:
    JsonDecodeError(const QString &path, const QString &problem);

    const QString &path() const { return m_path; }
    const QString &problem() const { return m_problem; }

private:
    QString m_path;
    QString m_problem;
};

// Strict, ordered reading of one JSON object into a plain record. Keys are matched exactly and
// read in the order the record's decoder asks for them, so the first failing key is the one
// reported. Keys nobody asks for are ignored. Optional fields treat an absent key and null alike;
// required ones must be present, not null and of the right kind. One bad element of an array
// fails the whole array. Every string comes out cleaned (PlainText::clean): this is where text
// from an answer enters the program, so nothing behind it has to clean it again.
//
// Build records with braced initialisers (`Record{json.string("a"), json.int64("b")}`): their
// elements are evaluated left to right, whereas function arguments are evaluated in any order.
class JsonReader final {
public:
    JsonReader(const QJsonObject &object, QString path);

    // Decodes a whole answer whose top level is one object, or an array of objects.
    template<typename Decode>
    static auto decodeObject(const QByteArray &bytes, Decode decode)
        -> std::invoke_result_t<Decode, const JsonReader &>;
    template<typename Decode>
    static auto decodeArray(const QByteArray &bytes, Decode decodeElement)
        -> QList<std::invoke_result_t<Decode, const JsonReader &>>;

    QString string(const char *key) const;
    std::optional<QString> optionalString(const char *key) const;
    qint64 int64(const char *key) const;
    std::optional<qint64> optionalInt64(const char *key) const;
    bool boolean(const char *key) const;
    // Internet date-times: "YYYY-MM-DDTHH:MM:SS", maybe a fraction of a second (dropped), then "Z" or
    // "+HH:MM" / "-HH:MM".
    QDateTime dateTime(const char *key) const;
    std::optional<QDateTime> optionalDateTime(const char *key) const;
    QUrl url(const char *key) const;
    std::optional<QUrl> optionalUrl(const char *key) const;
    QStringList stringList(const char *key) const;
    JsonReader object(const char *key) const;
    // An object, or none when the key is missing or null.
    std::optional<JsonReader> optionalObject(const char *key) const;
    // An array of objects, each handed to `decodeElement`.
    template<typename Decode>
    auto array(const char *key, Decode decodeElement) const -> QList<std::invoke_result_t<Decode, const JsonReader &>>;

    // Parses an internet date-time as above; invalid on any other form.
    static QDateTime parseDateTime(QStringView text);

private:
    static QJsonValue parse(const QByteArray &bytes, QJsonValue::Type expected);
    template<typename Decode>
    static auto decodeElements(const QJsonArray &array, const QString &path, Decode decodeElement)
        -> QList<std::invoke_result_t<Decode, const JsonReader &>>;

    QString pathOf(const char *key) const;
    // The value under `key`, or Undefined for absent and null alike.
    QJsonValue present(const char *key) const;
    QJsonValue required(const char *key, QJsonValue::Type type, const char *kind) const;
    [[noreturn]] void fail(const char *key, const QString &problem) const;

    QJsonObject m_object;
    QString m_path;
};

template<typename Decode>
auto JsonReader::decodeObject(const QByteArray &bytes, Decode decode)
    -> std::invoke_result_t<Decode, const JsonReader &>
{
    return decode(JsonReader(parse(bytes, QJsonValue::Object).toObject(), QString()));
}

template<typename Decode>
auto JsonReader::decodeArray(const QByteArray &bytes, Decode decodeElement)
    -> QList<std::invoke_result_t<Decode, const JsonReader &>>
{
    return decodeElements(parse(bytes, QJsonValue::Array).toArray(), QString(), decodeElement);
}

template<typename Decode>
auto JsonReader::array(const char *key, Decode decodeElement) const
    -> QList<std::invoke_result_t<Decode, const JsonReader &>>
{
    return decodeElements(required(key, QJsonValue::Array, "an array").toArray(), pathOf(key), decodeElement);
}

template<typename Decode>
auto JsonReader::decodeElements(const QJsonArray &array, const QString &path, Decode decodeElement)
    -> QList<std::invoke_result_t<Decode, const JsonReader &>>
{
    QList<std::invoke_result_t<Decode, const JsonReader &>> result;
    result.reserve(array.size());
    for (qsizetype i = 0; i < array.size(); ++i) {
        const QString elementPath = path + u'[' + QString::number(i) + u']';
        const QJsonValue element = array.at(i);
        if (!element.isObject())
            throw JsonDecodeError(elementPath, QStringLiteral("expected an object"));
        result.append(decodeElement(JsonReader(element.toObject(), elementPath)));
    }
    return result;
}

#include "services/JsonReader.h"

#include "core/PlainText.h"

#include <QJsonDocument>

#include <cmath>

JsonDecodeError::JsonDecodeError(const QString &path, const QString &problem)
    : std::runtime_error((path.isEmpty() ? problem : path + QStringLiteral(": ") + problem).toStdString())
    , m_path(path)
    , m_problem(problem)
{ }

JsonReader::JsonReader(const QJsonObject &object, QString path)
    : m_object(object)
    , m_path(std::move(path))
{ }

QJsonValue JsonReader::parse(const QByteArray &bytes, QJsonValue::Type expected)
{
    QJsonParseError error {};
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError)
        throw JsonDecodeError(
            QString(), QStringLiteral("not valid JSON (%1 at offset %2)").arg(error.errorString()).arg(error.offset));
    if (expected == QJsonValue::Array) {
        if (!document.isArray())
            throw JsonDecodeError(QString(), QStringLiteral("expected an array at the top level"));
        return document.array();
    }
    if (!document.isObject())
        throw JsonDecodeError(QString(), QStringLiteral("expected an object at the top level"));
    return document.object();
}

QString JsonReader::pathOf(const char *key) const
{
    const QString name = QString::fromLatin1(key);
    return m_path.isEmpty() ? name : m_path + u'.' + name;
}

void JsonReader::fail(const char *key, const QString &problem) const
{
    throw JsonDecodeError(pathOf(key), problem);
}

QJsonValue JsonReader::present(const char *key) const
{
    const QJsonValue value = m_object.value(QLatin1StringView(key));
    return value.isNull() ? QJsonValue(QJsonValue::Undefined) : value;
}

QJsonValue JsonReader::required(const char *key, QJsonValue::Type type, const char *kind) const
{
    const QJsonValue value = present(key);
    if (value.isUndefined())
        fail(key, QStringLiteral("missing or null"));
    if (value.type() != type)
        fail(key, QStringLiteral("expected ") + QString::fromLatin1(kind));
    return value;
}

QString JsonReader::string(const char *key) const
{
    return PlainText::clean(required(key, QJsonValue::String, "a string").toString());
}

std::optional<QString> JsonReader::optionalString(const char *key) const
{
    if (present(key).isUndefined())
        return std::nullopt;
    return string(key);
}

qint64 JsonReader::int64(const char *key) const
{
    const QJsonValue value = required(key, QJsonValue::Double, "an integer");
    // Whole numbers in the text are kept exactly as 64-bit integers; anything with a fraction, or
    // beyond the 64-bit range, is not an integer.
    const QVariant number = value.toVariant();
    if (number.typeId() == QMetaType::LongLong)
        return number.toLongLong();
    const double d = value.toDouble();
    if (std::trunc(d) != d || std::abs(d) >= 9.2e18)
        fail(key, QStringLiteral("expected an integer"));
    return qint64(d);
}

std::optional<qint64> JsonReader::optionalInt64(const char *key) const
{
    if (present(key).isUndefined())
        return std::nullopt;
    return int64(key);
}

bool JsonReader::boolean(const char *key) const
{
    return required(key, QJsonValue::Bool, "a boolean").toBool();
}

namespace {

bool readDigits(QStringView text, qsizetype at, qsizetype count, int &out)
{
    out = 0;
    for (qsizetype i = at; i < at + count; ++i) {
        const char16_t c = text[i].unicode();
        if (c < u'0' || c > u'9')
            return false;
        out = out * 10 + (c - u'0');
    }
    return true;
}

} // namespace

QDateTime JsonReader::parseDateTime(QStringView text)
{
    // 2026-12-07T19:22:38Z or 2026-12-07T21:22:38+02:00, the seconds maybe with a fraction
    // (2026-12-07T19:22:38.225Z), which is dropped.
    int year, month, day, hour, minute, second;
    if (text.size() < 20 || !readDigits(text, 0, 4, year) || text[4] != u'-' || !readDigits(text, 5, 2, month)
        || text[7] != u'-' || !readDigits(text, 8, 2, day) || text[10] != u'T' || !readDigits(text, 11, 2, hour)
        || text[13] != u':' || !readDigits(text, 14, 2, minute) || text[16] != u':' || !readDigits(text, 17, 2, second))
        return {};
    qsizetype zone = 19;
    if (text[zone] == u'.') {
        const qsizetype digits = zone + 1;
        while (zone + 1 < text.size() && text[zone + 1].isDigit() && text[zone + 1].unicode() < 0x80)
            ++zone;
        if (zone + 1 == digits || zone + 1 - digits > 9)
            return {};
        ++zone;
    }
    const QStringView offset = text.mid(zone);
    int offsetSeconds = 0;
    if (offset.size() == 1) {
        if (offset[0] != u'Z')
            return {};
    } else {
        int offsetHours, offsetMinutes;
        const QChar sign = offset.size() == 6 ? offset[0] : QChar();
        if ((sign != u'+' && sign != u'-') || !readDigits(offset, 1, 2, offsetHours) || offset[3] != u':'
            || !readDigits(offset, 4, 2, offsetMinutes) || offsetHours > 23 || offsetMinutes > 59)
            return {};
        offsetSeconds = (sign == u'-' ? -1 : 1) * (offsetHours * 3600 + offsetMinutes * 60);
    }
    const QDate date(year, month, day);
    const QTime time(hour, minute, second);
    if (!date.isValid() || !time.isValid())
        return {};
    return QDateTime(date, time, Qt::UTC).addSecs(-offsetSeconds);
}

QDateTime JsonReader::dateTime(const char *key) const
{
    const QDateTime parsed = parseDateTime(required(key, QJsonValue::String, "a date-time string").toString());
    if (!parsed.isValid())
        fail(key, QStringLiteral("expected an ISO 8601 date-time"));
    return parsed;
}

std::optional<QDateTime> JsonReader::optionalDateTime(const char *key) const
{
    if (present(key).isUndefined())
        return std::nullopt;
    return dateTime(key);
}

QUrl JsonReader::url(const char *key) const
{
    const QString text = required(key, QJsonValue::String, "a URL string").toString();
    const QUrl parsed(text, QUrl::StrictMode);
    if (text.isEmpty() || !parsed.isValid())
        fail(key, QStringLiteral("expected a valid URL"));
    return parsed;
}

std::optional<QUrl> JsonReader::optionalUrl(const char *key) const
{
    if (present(key).isUndefined())
        return std::nullopt;
    return url(key);
}

QStringList JsonReader::stringList(const char *key) const
{
    const QJsonArray items = required(key, QJsonValue::Array, "an array of strings").toArray();
    QStringList result;
    result.reserve(items.size());
    for (qsizetype i = 0; i < items.size(); ++i) {
        if (!items.at(i).isString())
            throw JsonDecodeError(pathOf(key) + u'[' + QString::number(i) + u']', QStringLiteral("expected a string"));
        result.append(PlainText::clean(items.at(i).toString()));
    }
    return result;
}

JsonReader JsonReader::object(const char *key) const
{
    return JsonReader(required(key, QJsonValue::Object, "an object").toObject(), pathOf(key));
}

std::optional<JsonReader> JsonReader::optionalObject(const char *key) const
{
    if (present(key).isUndefined())
        return std::nullopt;
    return object(key);
}

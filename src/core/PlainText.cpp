#include "core/PlainText.h"

#include <algorithm>

namespace {

bool isBreak(char16_t c)
{
    return c == u'\n' || c == u'\r' || c == u'\t' || c == u'\u2028' || c == u'\u2029';
}

bool isDropped(QChar c)
{
    const char16_t u = c.unicode();
    return c.category() == QChar::Other_Control || (u >= 0x202A && u <= 0x202E) || (u >= 0x2066 && u <= 0x2069);
}

} // namespace

QString PlainText::clean(const QString &text)
{
    // Most texts hold nothing to remove and are handed on as they are, shared.
    if (std::none_of(text.begin(), text.end(), [](QChar c) { return isBreak(c.unicode()) || isDropped(c); }))
        return text;
    QString result;
    result.reserve(text.size());
    bool afterBreak = false;
    for (const QChar c : text) {
        if (isBreak(c.unicode())) {
            if (!afterBreak)
                result += u' ';
            afterBreak = true;
            continue;
        }
        afterBreak = false;
        if (!isDropped(c))
            result += c;
    }
    return result;
}

QString PlainText::buttonText(const QString &text)
{
    return clean(text).replace(u'&', QStringLiteral("&&"));
}

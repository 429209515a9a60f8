#pragma once

#include <QDateTime>
#include <QLocale>
#include <QString>

// A moment's time of day as the user reads it: local time in the locale's short format ("14:05",
// "2:05 PM"), to the minute. The one way every display names a time of day. Of all locales only C
// names the seconds in its short format; it gets "HH:mm".
inline QString shortLocalTime(const QDateTime &moment)
{
    const QLocale locale;
    const QTime time = moment.toLocalTime().time();
    return locale.language() == QLocale::C ? locale.toString(time, u"HH:mm")
                                           : locale.toString(time, QLocale::ShortFormat);
}

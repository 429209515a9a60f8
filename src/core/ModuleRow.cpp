#include "core/ModuleRow.h"

#include <QCoreApplication>

QString ModuleRow::subtitle(const QDateTime &now) const
{
    if (!since)
        return detail;
    const QString age = relativeAge(*since, now);
    return detail.isEmpty() ? age : detail + QStringLiteral(" \u00B7 ") + age;
}

QString relativeAge(const QDateTime &since, const QDateTime &now)
{
    const qint64 seconds = since.secsTo(now);
    if (seconds < 10)
        return QCoreApplication::translate("ModuleRow", "gerade eben");
    if (seconds < 60)
        return QCoreApplication::translate("ModuleRow", "vor %1 s").arg(seconds);
    if (seconds < 3600)
        return QCoreApplication::translate("ModuleRow", "vor %1 Min.").arg(seconds / 60);
    if (seconds < 86400)
        return QCoreApplication::translate("ModuleRow", "vor %1 Std.").arg(seconds / 3600);
    const qint64 days = seconds / 86400;
    return days == 1 ? QCoreApplication::translate("ModuleRow", "vor 1 Tag")
                     : QCoreApplication::translate("ModuleRow", "vor %1 Tagen").arg(days);
}

double secondsUntilAgeChanges(const QDateTime &since, const QDateTime &now)
{
    const qint64 elapsed = since.msecsTo(now);
    const qint64 seconds = elapsed / 1000; // as relativeAge counts them
    qint64 boundary = 10; // "gerade eben" holds for the first ten seconds
    if (seconds >= 10) {
        const qint64 unit = seconds < 60 ? 1 : seconds < 3600 ? 60 : seconds < 86400 ? 3600 : 86400;
        boundary = (seconds / unit + 1) * unit;
    }
    return double(boundary * 1000 - elapsed) / 1000.0;
}

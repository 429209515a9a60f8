#include "core/ModuleRow.h"

#include "core/LinkGate.h"

#include <QCoreApplication>

QString ModuleRow::subtitle(const QDateTime &now) const
{
    if (!since)
        return detail;
    const QString age = relativeAge(*since, now);
    return detail.isEmpty() ? age : detail + QStringLiteral(" \u00B7 ") + age;
}

bool ModuleRow::opensSomething(const LinkGate &links) const
{
    return !pane.isEmpty() || links.mayOpen(link);
}

void ModuleRow::open(const LinkGate &links, const std::function<void(const QString &pane)> &openPane) const
{
    if (!pane.isEmpty()) {
        if (openPane)
            openPane(pane);
    } else if (links.open(link) && actions.opened) {
        actions.opened();
    }
}

QString relativeAge(const QDateTime &since, const QDateTime &now)
{
    const qint64 seconds = since.secsTo(now);
    if (seconds < 10)
        return QCoreApplication::translate("ModuleRow", "gerade eben");
    // Plural forms: German says "vor 1 Tag" but "vor 2 Tagen". The counts are named first, as
    // lupdate 6.4 does not finish on a division inside a translate() call.
    if (seconds < 60)
        return QCoreApplication::translate("ModuleRow", "vor %n s", nullptr, int(seconds));
    const int minutes = int(seconds / 60);
    if (minutes < 60)
        return QCoreApplication::translate("ModuleRow", "vor %n Min.", nullptr, minutes);
    const int hours = minutes / 60;
    if (hours < 24)
        return QCoreApplication::translate("ModuleRow", "vor %n Std.", nullptr, hours);
    const int days = hours / 24;
    return QCoreApplication::translate("ModuleRow", "vor %n Tagen", nullptr, days);
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

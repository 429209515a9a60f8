#include "integrations/cctray/CCTrayProject.h"

#include "core/PlainText.h"

#include <QRegularExpression>
#include <QSet>
#include <QTimeZone>
#include <QXmlStreamReader>

namespace {

CCTrayProject::Status statusOf(QStringView text)
{
    using Status = CCTrayProject::Status;
    if (text.compare(u"Success", Qt::CaseInsensitive) == 0)
        return Status::Success;
    if (text.compare(u"Failure", Qt::CaseInsensitive) == 0)
        return Status::Failure;
    if (text.compare(u"Exception", Qt::CaseInsensitive) == 0)
        return Status::Exception;
    return Status::Unknown;
}

QUrl webPage(const QString &text)
{
    const QUrl url(text.trimmed(), QUrl::StrictMode);
    const bool web = url.scheme() == u"https" || url.scheme() == u"http";
    return web && url.isValid() && !url.host().isEmpty() ? url : QUrl();
}

[[noreturn]] void fail(const QXmlStreamReader &xml, const char *problem)
{
    throw CCTrayDecodeError(QStringLiteral("line %1: %2").arg(xml.lineNumber()).arg(QString::fromLatin1(problem)));
}

} // namespace

std::optional<QDateTime> CCTrayFeed::parseTime(QStringView text)
{
    static const QRegularExpression form(
        QStringLiteral(R"(^(\d{4})-(\d{2})-(\d{2})T(\d{2}):(\d{2}):(\d{2})(?:[.,](\d{1,9}))?(Z|[+-]\d{2}:?\d{2})?$)"));
    const QRegularExpressionMatch match = form.match(text.trimmed().toString());
    if (!match.hasMatch())
        return std::nullopt;
    const auto number = [&](int group) { return match.capturedView(group).toInt(); };
    const QDate date(number(1), number(2), number(3));
    const int milliseconds
        = match.capturedView(7).isEmpty() ? 0 : match.captured(7).leftJustified(3, u'0').left(3).toInt();
    const QTime time(number(4), number(5), number(6), milliseconds);
    if (!date.isValid() || !time.isValid())
        return std::nullopt;
    const QStringView zone = match.capturedView(8);
    if (zone.isEmpty())
        return QDateTime(date, time, Qt::LocalTime);
    if (zone == u"Z")
        return QDateTime(date, time, Qt::UTC);
    const QString digits = zone.mid(1).toString().remove(u':');
    const int hours = digits.left(2).toInt();
    const int minutes = digits.mid(2).toInt();
    if (hours > 18 || minutes > 59)
        return std::nullopt;
    const int offset = (zone.front() == u'-' ? -1 : 1) * (hours * 3600 + minutes * 60);
    return QDateTime(date, time, QTimeZone(offset));
}

QList<CCTrayProject> CCTrayFeed::decode(const QByteArray &bytes)
{
    QXmlStreamReader xml(bytes);
    // A document type may declare entities; none may grow the document much beyond its size.
    xml.setEntityExpansionLimit(1024);
    if (!xml.readNextStartElement())
        fail(xml, "no root element");
    if (xml.name() != u"Projects")
        fail(xml, "the root element is not Projects");
    QList<CCTrayProject> projects;
    QSet<QString> names;
    while (xml.readNextStartElement()) {
        if (xml.name() != u"Project") {
            xml.skipCurrentElement(); // what a server adds besides its projects
            continue;
        }
        const QXmlStreamAttributes attributes = xml.attributes();
        CCTrayProject project;
        project.name = PlainText::clean(attributes.value(QLatin1StringView("name")).toString()).trimmed();
        if (project.name.isEmpty())
            fail(xml, "a Project without a name");
        project.status = statusOf(attributes.value(QLatin1StringView("lastBuildStatus")));
        project.building
            = attributes.value(QLatin1StringView("activity")).compare(u"Building", Qt::CaseInsensitive) == 0;
        project.label = PlainText::clean(attributes.value(QLatin1StringView("lastBuildLabel")).toString()).trimmed();
        project.lastBuildTime = parseTime(attributes.value(QLatin1StringView("lastBuildTime")));
        project.webUrl = webPage(attributes.value(QLatin1StringView("webUrl")).toString());
        // Its children (messages, breakers) are not read.
        xml.skipCurrentElement();
        if (xml.hasError())
            break;
        if (!names.contains(project.name)) {
            names.insert(project.name);
            projects.append(std::move(project));
        }
    }
    if (!xml.hasError()) {
        // Nothing but comments and blanks may follow the root.
        while (!xml.atEnd() && xml.readNext() != QXmlStreamReader::StartElement) { }
        if (xml.tokenType() == QXmlStreamReader::StartElement)
            fail(xml, "a second root element");
    }
    if (xml.hasError() && xml.error() != QXmlStreamReader::PrematureEndOfDocumentError)
        fail(xml, "not well-formed XML");
    if (xml.hasError())
        fail(xml, "the document ends early");
    return projects;
}

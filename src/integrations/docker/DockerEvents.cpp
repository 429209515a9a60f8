#include "integrations/docker/DockerEvents.h"

#include "core/PlainText.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QUrl>

#include <algorithm>

namespace {

// Everything a container does that shows in the list or may be news; exec_* (a health probe
// every few seconds) and attach/resize are left out.
constexpr const char *listedActions[] = { "create", "destroy", "die", "kill", "oom", "pause", "unpause", "rename",
    "restart", "start", "stop", "update", "health_status" };

// An engine that ignores the filter (Podman may) still hands over only these.
bool isListed(const QString &action)
{
    const QString word = action.section(u':', 0, 0);
    return std::any_of(std::begin(listedActions), std::end(listedActions),
        [&](const char *listed) { return word == QLatin1String(listed); });
}

} // namespace

QByteArray DockerEvents::streamPath()
{
    QJsonArray events;
    for (const char *action : listedActions)
        events.append(QString::fromLatin1(action));
    const QJsonObject filters { { QStringLiteral("type"), QJsonArray { QStringLiteral("container") } },
        { QStringLiteral("event"), events } };
    return QByteArray("/events?filters=")
        + QUrl::toPercentEncoding(QString::fromUtf8(QJsonDocument(filters).toJson(QJsonDocument::Compact)));
}

std::optional<DockerEvent> DockerEvents::decodeLine(const QByteArray &line)
{
    const QJsonDocument document = QJsonDocument::fromJson(line);
    const QJsonObject event = document.object();
    if (event.value(u"Type").toString() != u"container")
        return std::nullopt;
    const QJsonObject actor = event.value(u"Actor").toObject();
    const QJsonObject attributes = actor.value(u"Attributes").toObject();
    // The engine's words enter the module here: cleaned once, as the JSON reader does for answers.
    const auto text
        = [](const QJsonObject &object, QStringView key) { return PlainText::clean(object.value(key).toString()); };
    DockerEvent decoded { text(event, u"Action"), text(actor, u"ID"), text(attributes, u"name"), std::nullopt };
    // Podman's words for "die" and for a health change.
    if (decoded.action == u"died")
        decoded.action = QStringLiteral("die");
    const QString health = text(attributes, u"health_status");
    if (decoded.action == u"health_status" && !health.isEmpty())
        decoded.action += QStringLiteral(": ") + health;
    if (!isListed(decoded.action) || decoded.id.isEmpty())
        return std::nullopt;
    bool ok = false;
    const int exitCode = attributes.value(u"exitCode").toString().toInt(&ok);
    if (ok)
        decoded.exitCode = exitCode;
    return decoded;
}

#include "app/StatusSnapshot.h"

#include <QJsonDocument>
#include <QJsonObject>

#include <array>

namespace {

using Severity = ModuleStatus::Severity;

struct CountField {
    QLatin1StringView property;
    QLatin1StringView key;
    int ModuleCounts::*member;
};

constexpr std::array countFields {
    CountField { QLatin1StringView("FailedRuns"), QLatin1StringView("failed_runs"), &ModuleCounts::failedRuns },
    CountField { QLatin1StringView("ActiveRuns"), QLatin1StringView("active_runs"), &ModuleCounts::activeRuns },
    CountField { QLatin1StringView("NewsForYou"), QLatin1StringView("news_for_you"), &ModuleCounts::newsForYou },
    CountField { QLatin1StringView("ContainersRunning"), QLatin1StringView("containers_running"),
        &ModuleCounts::containersRunning },
    CountField { QLatin1StringView("ContainersFailed"), QLatin1StringView("containers_failed"),
        &ModuleCounts::containersFailed },
};

struct SeverityName {
    Severity severity;
    QLatin1StringView name;
    QLatin1StringView i3State; // i3status-rust's word for it
};

constexpr std::array severityNames {
    SeverityName { Severity::Idle, QLatin1StringView("idle"), QLatin1StringView("Idle") },
    SeverityName { Severity::Fine, QLatin1StringView("fine"), QLatin1StringView("Good") },
    SeverityName { Severity::Notice, QLatin1StringView("notice"), QLatin1StringView("Info") },
    SeverityName { Severity::Active, QLatin1StringView("active"), QLatin1StringView("Warning") },
    SeverityName { Severity::Failing, QLatin1StringView("failing"), QLatin1StringView("Critical") },
};

const SeverityName &entryFor(Severity severity)
{
    for (const SeverityName &entry : severityNames) {
        if (entry.severity == severity)
            return entry;
    }
    return severityNames.front();
}

const QString textProperty = QStringLiteral("StatusLine");
const QString tooltipProperty = QStringLiteral("Tooltip");
const QString severityProperty = QStringLiteral("Severity");
const QString pausedProperty = QStringLiteral("Paused");

} // namespace

QString StatusSnapshot::severityName(Severity severity)
{
    return entryFor(severity).name;
}

QVariantMap StatusSnapshot::toProperties() const
{
    QVariantMap properties { { textProperty, text }, { tooltipProperty, tooltip },
        { severityProperty, severityName(severity) }, { pausedProperty, paused } };
    for (const CountField &field : countFields)
        properties.insert(field.property, counts.*field.member);
    return properties;
}

StatusSnapshot StatusSnapshot::fromProperties(const QVariantMap &properties)
{
    StatusSnapshot snapshot;
    snapshot.text = properties.value(textProperty).toString();
    snapshot.tooltip = properties.value(tooltipProperty).toString();
    const QString severity = properties.value(severityProperty).toString();
    for (const SeverityName &entry : severityNames) {
        if (entry.name == severity)
            snapshot.severity = entry.severity;
    }
    snapshot.paused = properties.value(pausedProperty).toBool();
    for (const CountField &field : countFields)
        snapshot.counts.*field.member = properties.value(field.property).toInt();
    return snapshot;
}

StatusSnapshot StatusSnapshot::notRunning(const QString &tooltip)
{
    StatusSnapshot snapshot;
    snapshot.tooltip = tooltip;
    snapshot.running = false;
    return snapshot;
}

QByteArray StatusSnapshot::toJson() const
{
    const SeverityName &entry = entryFor(severity);
    QJsonObject object { { QStringLiteral("text"), text }, { QStringLiteral("tooltip"), tooltip },
        { QStringLiteral("class"), running ? QString(entry.name) : QStringLiteral("stopped") },
        { QStringLiteral("state"), QString(entry.i3State) }, { QStringLiteral("paused"), paused } };
    for (const CountField &field : countFields)
        object.insert(field.key, counts.*field.member);
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

QString StatusSnapshot::toLine() const
{
    QString line = text;
    return line.replace(QStringLiteral("%{"), QStringLiteral("% {"));
}

#pragma once

#include "core/ModuleCounts.h"
#include "core/ModuleStatus.h"

#include <QByteArray>
#include <QString>
#include <QVariantMap>

// What the running program tells status bars and other programs about itself: the collapsed
// line, the tooltip the tray shows, the modules' severity, whether news is paused and the
// modules' counts. The program publishes it as properties on the session bus; `tarnlet --status`
// reads them back and prints them as a line or as the JSON object bars read. This is the one
// place that names the properties and the JSON keys.
struct StatusSnapshot {
    QString text;
    QString tooltip;
    ModuleStatus::Severity severity = ModuleStatus::Severity::Idle;
    bool paused = false;
    ModuleCounts counts;
    // False for the line a follower prints while no program runs.
    bool running = true;

    // By property name, as published on the bus.
    QVariantMap toProperties() const;
    // Missing or mistyped properties keep their neutral values.
    static StatusSnapshot fromProperties(const QVariantMap &properties);
    // What a follower prints while no program runs; `tooltip` says so.
    static StatusSnapshot notRunning(const QString &tooltip);

    // One JSON object on one line: "text", "tooltip", "class" (the severity's name, "stopped" while
    // no program runs), "state" (the severity in i3status-rust's words), "paused" and the counts.
    QByteArray toJson() const;
    // The collapsed line alone, fit for a bar that reads plain lines: polybar's formatting tags
    // ("%{…}") in text from outside are broken up, so they never act.
    QString toLine() const;

    static QString severityName(ModuleStatus::Severity severity);

    friend bool operator==(const StatusSnapshot &, const StatusSnapshot &) = default;
};

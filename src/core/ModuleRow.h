#pragma once

#include "core/ModuleStatus.h"

#include <QDateTime>
#include <QString>
#include <QUrl>

#include <functional>
#include <optional>

class LinkGate;

// What a row does besides showing: `opened` runs after its page was opened (a click or the press
// action), and `secondary` is a second action under its own words (a news row's "Als gelesen
// markieren"); empty functions do nothing. Rows compare by what they show, so only the second
// action's words take part in ==.
struct ModuleRowActions {
    std::function<void()> opened = {};
    QString secondaryName = {};
    std::function<void()> secondary = {};

    bool hasSecondary() const { return !secondaryName.isEmpty() && secondary; }

    friend bool operator==(const ModuleRowActions &a, const ModuleRowActions &b)
    {
        return a.secondaryName == b.secondaryName;
    }
};

// One line a module offers for display (an overlay row, a line in its settings pane): a coloured
// dot, a title over a detail line, and the page a click opens. Where `since` is set, the line
// shown under the title ends in the age of that moment ("vor 5 Min."); the display works it out
// when it draws, so ages stay current without the module announcing anything.
struct ModuleRow {
    QString title;
    QString detail;
    std::optional<QDateTime> since;
    // The dot's colour follows it.
    ModuleStatus::Severity severity = ModuleStatus::Severity::Idle;
    // Empty when the row opens nothing.
    QUrl link;
    // The settings pane that resolves what the row reports (a missing token, a project the server
    // does not find), by the pane's name; the row opens it instead of its page. Empty for none.
    QString pane = {};
    ModuleRowActions actions = {};

    // The line under the title at `now`: the detail and the age joined by " · ".
    QString subtitle(const QDateTime &now) const;
    Color color() const { return ModuleStatus::colorOf(severity); }
    // Whether a click on the row leads somewhere: to its pane, or to a page `links` lets through.
    bool opensSomething(const LinkGate &links) const;
    // Opens what a click on the row leads to: its pane through `openPane`, else its page through
    // `links`, and then runs actions.opened.
    void open(const LinkGate &links, const std::function<void(const QString &pane)> &openPane) const;

    friend bool operator==(const ModuleRow &, const ModuleRow &) = default;
};

// How long ago `since` was, as a phrase in the user's language: "gerade eben", "vor 42 s",
// "vor 5 Min.", "vor 3 Std.", "vor 1 Tag", "vor 2 Tagen". A moment in the future counts as just now.
QString relativeAge(const QDateTime &since, const QDateTime &now);

// Seconds from `now` until relativeAge(since, ·) reads differently, so a display can redraw ages
// exactly when they change instead of on a fixed beat.
double secondsUntilAgeChanges(const QDateTime &since, const QDateTime &now);

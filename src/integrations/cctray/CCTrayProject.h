#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QUrl>

#include <optional>
#include <stdexcept>

// One project of a cctray feed, the XML document of project states that CI servers publish
// (Jenkins, GoCD, Buildkite, CircleCI, TeamCity and more): the state of its last build and
// whether one is under way. Every text is cleaned (PlainText::clean).
struct CCTrayProject {
    enum class Status { Unknown, Success, Failure, Exception };

    QString name; // GoCD's "pipe :: stage :: job"
    Status status = Status::Unknown; // of the last finished build
    bool building = false; // a build is under way
    QString label; // the last build's label; empty where the server names none
    std::optional<QDateTime> lastBuildTime;
    QUrl webUrl; // empty where missing or not an http or https address

    bool failed() const { return status == Status::Failure || status == Status::Exception; }

    friend bool operator==(const CCTrayProject &, const CCTrayProject &) = default;
};

// A feed that is no cctray document. The text names the line and what was wrong, never what the
// document held.
class CCTrayDecodeError final : public std::runtime_error {
public:
    explicit CCTrayDecodeError(const QString &problem)
        : std::runtime_error(problem.toStdString())
    { }
};

namespace CCTrayFeed {

// The projects of a feed, in its order; a name that repeats is kept once, as first listed. Strict
// about the document (its root is Projects, each Project has a name), lenient about what servers
// really write: attributes left out, times in several forms, elements and attributes it does not
// know. Throws CCTrayDecodeError.
QList<CCTrayProject> decode(const QByteArray &xml);

// A build time as servers write it: "2026-12-01T10:00:00", with or without a fraction of a second
// and with or without a zone ("Z", "+01:00", "+0100"). Without a zone it is the local time, as a
// server on the user's network writes it. None for any other form.
std::optional<QDateTime> parseTime(QStringView text);

} // namespace CCTrayFeed

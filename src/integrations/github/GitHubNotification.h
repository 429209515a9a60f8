#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QUrl>

#include <optional>

class JsonReader;

// One thread of the signed-in user's GitHub notifications. Reason and subject type keep the
// API's raw words; the id stays the API's string.
struct GitHubNotification {
    struct Subject {
        QString title;
        QString type;
        std::optional<QUrl> url; // the API address of the thread's subject (a pull request)

        friend bool operator==(const Subject &, const Subject &) = default;
    };
    struct Repository {
        QString fullName; // "owner/name"

        friend bool operator==(const Repository &, const Repository &) = default;
    };

    QString id;
    QString reason;
    Subject subject;
    Repository repository;
    // When the thread last changed, on GitHub's clock.
    std::optional<QDateTime> updatedAt;

    // Throws JsonDecodeError naming the first key that fails.
    static GitHubNotification decode(const JsonReader &json);
    // A whole notifications answer (a top-level array); one broken element fails it all.
    static QList<GitHubNotification> decodeList(const QByteArray &body);

    friend bool operator==(const GitHubNotification &, const GitHubNotification &) = default;
};

// The one fact read from a pull request: whether, and when, it was merged.
struct PullRequestState {
    std::optional<QDateTime> mergedAt;

    bool isMerged() const { return mergedAt.has_value(); }

    static PullRequestState decode(const QByteArray &body);

    friend bool operator==(const PullRequestState &, const PullRequestState &) = default;
};

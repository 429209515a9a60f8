#include "integrations/github/GitHubNotification.h"

#include "services/JsonReader.h"

GitHubNotification GitHubNotification::decode(const JsonReader &json)
{
    GitHubNotification notification;
    notification.id = json.string("id");
    notification.reason = json.string("reason");
    const JsonReader subject = json.object("subject");
    notification.subject.title = subject.string("title");
    notification.subject.type = subject.string("type");
    notification.subject.url = subject.optionalUrl("url");
    notification.repository.fullName = json.object("repository").string("full_name");
    notification.updatedAt = json.optionalDateTime("updated_at");
    return notification;
}

QList<GitHubNotification> GitHubNotification::decodeList(const QByteArray &body)
{
    return JsonReader::decodeArray(body, &GitHubNotification::decode);
}

PullRequestState PullRequestState::decode(const QByteArray &body)
{
    return JsonReader::decodeObject(
        body, [](const JsonReader &json) { return PullRequestState { json.optionalDateTime("merged_at") }; });
}

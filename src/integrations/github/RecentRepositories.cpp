#include "integrations/github/RecentRepositories.h"

#include "integrations/github/GitHubApi.h"
#include "integrations/github/GitHubCredentials.h"

#include <QPointer>

RecentRepositories::RecentRepositories(const GitHubApi &api, const GitHubCredentials &credentials, QObject *parent)
    : ListSuggestions(parent)
    , m_api(api)
    , m_credentials(credentials)
    , m_askedFor(credentials.tokenGeneration())
{
    // Another account's repositories are not this one's: dropped at once, asked again if shown.
    connect(&m_credentials, &GitHubCredentials::changed, this, [this] {
        if (m_askedFor == m_credentials.tokenGeneration())
            return;
        m_askedFor = m_credentials.tokenGeneration();
        take({});
        if (m_shown)
            ask();
    });
}

void RecentRepositories::setShown(bool shown)
{
    m_shown = shown;
    if (shown)
        ask();
    else
        m_request.cancel();
}

void RecentRepositories::ask()
{
    m_request.cancel();
    if (!m_credentials.token())
        return take({});
    m_request = m_api.recentRepositories(count, [self = QPointer(this)](const GitHubResult<QStringList> &answer) {
        if (self)
            self->take(answer.isOk() ? answer.value() : QStringList());
    });
}

void RecentRepositories::take(QStringList names)
{
    if (names == m_names)
        return;
    m_names = std::move(names);
    Q_EMIT changed();
}

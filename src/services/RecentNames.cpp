#include "services/RecentNames.h"

#include "services/ApiCredentials.h"

#include <QPointer>

RecentNames::RecentNames(const ApiCredentials &credentials, Ask asker, QObject *parent)
    : ListSuggestions(parent)
    , m_credentials(credentials)
    , m_ask(std::move(asker))
    , m_askedFor(credentials.tokenGeneration())
{
    // Another account's repositories are not this one's: dropped at once, asked again if shown.
    connect(&m_credentials, &ApiCredentials::changed, this, [this] {
        if (m_askedFor == m_credentials.tokenGeneration())
            return;
        m_askedFor = m_credentials.tokenGeneration();
        take({});
        if (m_shown)
            ask();
    });
}

void RecentNames::setShown(bool shown)
{
    m_shown = shown;
    if (shown)
        ask();
    else
        m_request.cancel();
}

void RecentNames::ask()
{
    m_request.cancel();
    if (!m_credentials.token())
        return take({});
    m_request = m_ask(count, [self = QPointer(this)](const ApiResult<QStringList> &answer) {
        if (self)
            self->take(answer.isOk() ? answer.value() : QStringList());
    });
}

void RecentNames::take(QStringList names)
{
    if (names == m_names)
        return;
    m_names = std::move(names);
    Q_EMIT changed();
}

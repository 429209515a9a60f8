#include "integrations/github/GitHubTokenState.h"

#include "integrations/github/GitHubCredentials.h"
#include "services/TokenState.h"

namespace GitHubTokenState {

namespace {

const QString service = QStringLiteral("GitHub");

} // namespace

std::optional<QString> problemText(const GitHubCredentials &credentials)
{
    return TokenState::problemText(credentials, service);
}

QString resolvingPane(const GitHubCredentials &credentials)
{
    return TokenState::resolvingPane(credentials, QString(accountPane));
}

QString readingText()
{
    return TokenState::readingText();
}

QString refusedText()
{
    return TokenState::refusedText(service);
}

QString storeUnavailableText()
{
    return TokenState::storeUnavailableText();
}

QString limitText(const QDateTime &until)
{
    return TokenState::limitText(service, until);
}

} // namespace GitHubTokenState

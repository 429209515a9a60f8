#include "services/ApiWatcher.h"

#include "services/ApiCredentials.h"

#include <QLoggingCategory>

#include <algorithm>

namespace {

// Whether a failed poll cost part of the hourly limit: the service answered it (with an error status
// other than 304, or a body that could not be read).
bool costs(const ApiError &error)
{
    switch (error.kind()) {
    case ApiError::Kind::Http:
        return error.statusCode() != 304;
    case ApiError::Kind::Decode:
    case ApiError::Kind::TooLarge:
        return true;
    default:
        return false;
    }
}

} // namespace

ApiWatcher::ApiWatcher(QString name, Scheduler &scheduler, const ApiCredentials &credentials, Poll poll,
    RetryPause retryPause, QObject *parent)
    : QObject(parent)
    , m_name(std::move(name))
    , m_credentials(credentials)
    , m_poll(std::move(poll))
    , m_retryPause(std::move(retryPause))
    , m_pause(m_retryPause(1))
    , m_tokenGeneration(credentials.tokenGeneration())
    , m_share(credentials.budget())
    , m_loop(scheduler, [this](PollLoop::Finished finished) {
        m_finished = std::move(finished);
        m_request = m_poll();
    })
{
    connect(&m_credentials, &ApiCredentials::changed, this, &ApiWatcher::followCredentials);
}

ApiWatcher::~ApiWatcher()
{
    m_request.cancel();
}

void ApiWatcher::start()
{
    m_request.cancel();
    m_loop.start();
}

void ApiWatcher::pollNow()
{
    if (isRunning())
        start();
}

void ApiWatcher::stop()
{
    m_loop.stop();
    m_request.cancel();
    m_finished = {};
    m_share.rest();
}

bool ApiWatcher::succeeded(double pause, bool counted, bool active)
{
    const bool cleared = m_error.has_value() || m_waiting;
    m_error.reset();
    m_waiting = false;
    m_failures = 0;
    m_pause = pause;
    m_active = active;
    finish(m_share.pauseAfter(pause, counted, active), QStringLiteral("answered"));
    return cleared;
}

bool ApiWatcher::failed(const ApiError &error)
{
    // The service's wait counts as no failure: the first poll after it goes on as before. A wait shorter
    // than the loop's own pause (Retry-After: 0, or the last second of another loop's wait) never
    // hurries it, and the budget goes on reckoning with the loop's own pace.
    if (error.kind() == ApiError::Kind::RateLimited) {
        m_waiting = true;
        const double own = m_failures > 0 ? m_retryPause(m_failures) : m_pause;
        finish(m_share.pauseAfter(std::max(error.secondsToWait(), own), false, m_active),
            QStringLiteral("waits as the server asks"));
        return false;
    }
    const bool waitEnded = std::exchange(m_waiting, false);
    const bool newError = m_error != error;
    m_error = error;
    finish(m_share.pauseAfter(m_retryPause(++m_failures), costs(error), false),
        QStringLiteral("failed: ") + error.description());
    return waitEnded || newError;
}

void ApiWatcher::finish(double pause, const QString &why)
{
    qCDebug(m_credentials.log()).noquote() << m_name << why << "- next poll in" << pause << "s";
    if (const PollLoop::Finished finished = std::exchange(m_finished, {}))
        finished(pause);
}

void ApiWatcher::followCredentials()
{
    // A new token should not wait out a back-off of up to ten minutes, nor a wait the service asked of
    // the token before, nor the answer to a poll sent without it (the token read at launch comes
    // while the first polls are on their way). The service's verdict on the token in use changes what is
    // shown only.
    const quint64 generation = m_credentials.tokenGeneration();
    if (generation == m_tokenGeneration)
        return;
    m_tokenGeneration = generation;
    if (m_forget)
        m_forget();
    if (isRunning() && (m_forget || (m_credentials.token() && (m_error || m_waiting || m_finished))))
        start();
}

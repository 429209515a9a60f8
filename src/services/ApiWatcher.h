#pragma once

#include "core/CancelHandle.h"
#include "core/PollLoop.h"
#include "services/ApiBudget.h"
#include "services/ApiError.h"

#include <QObject>
#include <QString>

#include <functional>
#include <optional>

class ApiCredentials;
class Scheduler;

// One thing a module polls on a service's API (a repository's runs, the notifications), asked
// again and again on the scheduler. The module sends each request and says how it ended; the
// watcher decides when the next one goes out: after the module's pause on success, backing off
// after failures, once the service's wait is over when it asks for one (which is no failure), and at
// once when a new token arrives while the last poll failed or waited (or always, for a module that
// starts afresh with a new token). A wait is never shorter than the loop's own pause. Each pause is
// the account's budget's to stretch.
class ApiWatcher final : public QObject {
    Q_OBJECT
public:
    // Sends one poll's request and returns it; its answer ends the poll through succeeded() or
    // failed(), later or at once.
    using Poll = std::function<CancelHandle()>;
    // The pause after `failures` failed polls in a row.
    using RetryPause = std::function<double(int failures)>;

    // `name` tells the watchers apart in the credentials' log.
    ApiWatcher(QString name, Scheduler &scheduler, const ApiCredentials &credentials, Poll poll,
        RetryPause retryPause = &PollLoop::backOff, QObject *parent = nullptr);
    ~ApiWatcher() override;

    // Polls now and goes on; a poll in flight is dropped first.
    void start();
    // Drops the poll in flight and the next ones; the last error and the failures in a row stay.
    void stop();
    bool isRunning() const { return m_loop.isRunning(); }
    // Polls at once and goes on from there, when running (after a command changed what the
    // service has); a poll in flight is dropped first, its answer may predate the change.
    void pollNow();
    // Makes a new token (or its removal) a fresh start, as at launch: `forget` drops what the module
    // learnt with the old one, and a running watcher polls again at once, dropping the old token's
    // poll in flight.
    void forgetOnNewToken(std::function<void()> forget) { m_forget = std::move(forget); }

    // The poll in progress ended well; the next one follows `pause` seconds later, or later when the
    // budget asks for it. `counted`: the answer cost part of the hourly limit (a 304 costs nothing);
    // `active`: the module follows something under way, which keeps its pause longest. True when
    // this took the last error or the service's wait away.
    bool succeeded(double pause, bool counted = true, bool active = false);
    // The poll in progress ended with `error`. True when the last error changed or the service's wait
    // ended (a new wait changes nothing shown here: the credentials show it).
    bool failed(const ApiError &error);

    // Why the last failed poll failed; none once a poll succeeds (the service's wait leaves it as it was).
    const std::optional<ApiError> &error() const { return m_error; }

private:
    void followCredentials();
    void finish(double pause, const QString &why);

    const QString m_name;
    const ApiCredentials &m_credentials;
    const Poll m_poll;
    const RetryPause m_retryPause;
    std::optional<ApiError> m_error;
    int m_failures = 0; // in a row
    // The module's pause after the last success, and whether it followed something under way; the
    // first back-off until a poll succeeds.
    double m_pause;
    bool m_active = false;
    bool m_waiting = false; // the last poll was told to wait
    quint64 m_tokenGeneration; // the one last seen, to notice a new token
    ApiBudget::Share m_share;
    std::function<void()> m_forget;
    PollLoop::Finished m_finished; // of the poll in progress
    CancelHandle m_request;
    PollLoop m_loop;
};

#pragma once

#include "core/PollLoop.h"
#include "core/Scheduler.h"
#include "modules/docker/ContainerSource.h"

#include <functional>

// Decides when the Docker module reads the container list. While the engine's event stream runs,
// the list is read once at the stream's start and again after events that may change it (those
// arriving together cause one read); nothing else runs. When the stream ends or cannot start, the list is read
// every 15 seconds instead and the stream is tried again after a back-off (60 s doubling to
// 600 s), or at once when the engine answers again after failing.
class DockerWatch final {
public:
    // Reads the list; `finished` runs once with whether the engine answered.
    using Read = std::function<void(std::function<void(bool answered)> finished)>;

    static constexpr double pollInterval = 15;
    // How long a read waits for more events to arrive together.
    static constexpr double settleSeconds = 0.25;
    // A stream that ran this long before it ended starts the back-off afresh.
    static constexpr double steadySeconds = 60;

    // Takes in an event of the stream; whether it may have changed the list.
    using Seen = std::function<bool(const DockerEvent &)>;

    DockerWatch(Scheduler &scheduler, ContainerSource &source, Read read, Seen seen);
    ~DockerWatch();
    DockerWatch(const DockerWatch &) = delete;
    DockerWatch &operator=(const DockerWatch &) = delete;

    // Starts the stream (and reads the list) now; anything running ends first.
    void start();
    // Ends the stream process at once, the 15-second reads and every retry.
    void stop();
    // Reads the list after the settling pause, once however often asked meanwhile.
    void readSoon();
    bool isStreaming() const { return m_stream.isPending(); }
    // Started and not stopped since.
    bool isRunning() const { return m_running; }

private:
    void startStream();
    void streamEnded();
    void readNow();
    // Every read goes through here: an engine answering after failing gets the stream back.
    void readList(std::function<void()> finished);

    Scheduler &m_scheduler;
    ContainerSource &m_source;
    Read m_read;
    Seen m_seen;
    PollLoop m_fallback;
    bool m_running = false;
    CancelHandle m_stream;
    double m_streamStarted = 0;
    int m_streamFailures = 0;
    CancelHandle m_retry;
    CancelHandle m_settle;
    bool m_reading = false;
    quint64 m_readsStarted = 0;
    bool m_readAgain = false;
    bool m_lastAnswered = true;
};

#include "modules/docker/DockerWatch.h"

#include "integrations/docker/DockerLogging.h"

DockerWatch::DockerWatch(Scheduler &scheduler, ContainerSource &source, Read read, Seen seen)
    : m_scheduler(scheduler)
    , m_source(source)
    , m_read(std::move(read))
    , m_seen(std::move(seen))
    , m_fallback(scheduler, [this](PollLoop::Finished finished) {
        readList([finished = std::move(finished)] { finished(pollInterval); });
    })
{ }

DockerWatch::~DockerWatch()
{
    stop();
}

void DockerWatch::start()
{
    stop();
    m_running = true;
    m_streamFailures = 0;
    startStream();
}

void DockerWatch::stop()
{
    m_running = false;
    m_stream.cancel();
    m_retry.cancel();
    m_settle.cancel();
    m_fallback.stop();
    // A read under way still lands, but no longer counts as this watch's.
    m_reading = false;
    m_readAgain = false;
    ++m_readsStarted;
}

void DockerWatch::startStream()
{
    m_fallback.stop();
    m_streamStarted = m_scheduler.now();
    m_stream = m_source.watchEvents(
        [this](const DockerEvent &event) {
            if (m_seen(event))
                readSoon();
        },
        [this] { streamEnded(); });
    // Whatever happened before the stream began is read now.
    m_settle.cancel();
    readNow();
}

void DockerWatch::streamEnded()
{
    m_stream = CancelHandle();
    if (m_scheduler.now() - m_streamStarted >= steadySeconds)
        m_streamFailures = 0;
    const double retry = PollLoop::backOff(++m_streamFailures);
    qCDebug(lcDocker) << "event stream ended; reading every" << pollInterval << "s, stream again in" << retry << "s";
    m_fallback.start();
    m_retry = m_scheduler.schedule(retry, [this] { startStream(); });
}

void DockerWatch::readSoon()
{
    if (!m_running || m_settle.isPending())
        return;
    if (m_reading) {
        m_readAgain = true;
        return;
    }
    m_settle = m_scheduler.schedule(settleSeconds, [this] { readNow(); });
}

void DockerWatch::readNow()
{
    if (m_reading) {
        m_readAgain = true;
        return;
    }
    m_reading = true;
    const quint64 read = ++m_readsStarted;
    readList([this, read] {
        if (read != m_readsStarted)
            return;
        m_reading = false;
        if (std::exchange(m_readAgain, false))
            readSoon();
    });
}

void DockerWatch::readList(std::function<void()> finished)
{
    m_read([this, finished = std::move(finished)](bool answered) {
        const bool answeredBefore = std::exchange(m_lastAnswered, answered);
        const bool cameBack = answered && !answeredBefore;
        finished();
        if (cameBack && m_running && !isStreaming()) {
            m_retry.cancel();
            m_streamFailures = 0;
            startStream();
        }
    });
}

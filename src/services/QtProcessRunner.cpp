#include "services/QtProcessRunner.h"

#include "core/Scheduler.h"

#include <QPointer>
#include <QProcess>

#ifdef Q_OS_LINUX
#include <signal.h>
#include <sys/prctl.h>
#include <unistd.h>
#endif

namespace {

using Result = ProcessRunner::Result;
using Outcome = Result::Outcome;

// One child process, from its start to its report. Deletes itself once the child is gone. It
// either gathers the whole output (a run) or hands it over line by line (a stream).
class ProcessRun final : public QObject {
public:
    ProcessRun(QObject *runner, qint64 maxOutputBytes, ProcessRunner::Done done, ProcessRunner::Line line = {})
        : QObject(runner)
        , m_runner(runner)
        , m_maxOutputBytes(maxOutputBytes)
        , m_done(std::move(done))
        , m_line(std::move(line))
    {
        m_process.setStandardInputFile(QProcess::nullDevice());
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
#ifdef Q_OS_LINUX
        // The child ends with this program even when the program is killed: an SSH forward or an
        // event stream left behind would hold its connection for nobody. The signal is asked for
        // in the child, before it runs the program; a parent gone before then ends it at once.
        m_process.setChildProcessModifier([parent = ::getpid()] {
            ::prctl(PR_SET_PDEATHSIG, SIGTERM);
            if (::getppid() != parent)
                ::_exit(127);
        });
#endif
        connect(&m_process, &QProcess::readyReadStandardOutput, this, [this] { collectOutput(); });
        connect(&m_process, &QProcess::finished, this, [this](int exitCode, QProcess::ExitStatus status) {
            // Whatever is still buffered belongs to the output: read it before taking the exit.
            collectOutput();
            if (m_keepTail && m_output.size() > m_maxOutputBytes)
                dropBeginning();
            const auto outcome = status == QProcess::NormalExit ? Outcome::Exited : Outcome::Crashed;
            report(Result { outcome, exitCode, m_line ? QByteArray() : std::exchange(m_output, {}), {}, m_cut });
            deleteLater();
        });
        connect(&m_process, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
            if (error != QProcess::FailedToStart)
                return; // the other errors end in finished() as well
            report(Result { Outcome::FailedToStart, 0, {}, m_process.errorString() });
            deleteLater();
        });
    }

    // A child still running here (the runner is going away) is killed and reaped; nobody hears of
    // it any more.
    ~ProcessRun() override
    {
        m_timeout.cancel();
        disconnect(&m_process, nullptr, this, nullptr);
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished();
        }
    }

    void start(Scheduler *scheduler, double timeoutSeconds, const QString &program, const QStringList &arguments)
    {
        if (scheduler) {
            m_timeout = scheduler->schedule(timeoutSeconds, [self = QPointer<ProcessRun>(this)] {
                if (self)
                    self->end(Outcome::TimedOut);
            });
        }
        m_process.start(program, arguments, QIODevice::ReadOnly);
    }

    // Past the size bound the output's end is kept rather than the program ended.
    void keepTail()
    {
        m_keepTail = true;
    }

    // Ends a stream at the caller's word: the child is killed now and nobody hears of it again.
    void cancel()
    {
        m_done = nullptr;
        m_process.kill();
    }

private:
    void collectOutput()
    {
        if (!m_done)
            return;
        m_output += m_process.readAllStandardOutput();
        if (m_line) {
            handOverLines();
            return;
        }
        if (m_output.size() <= m_maxOutputBytes)
            return;
        if (!m_keepTail)
            end(Outcome::OutputTooLarge);
        else if (m_output.size() > 2 * m_maxOutputBytes)
            dropBeginning(); // not at every read, which would move the whole tail each time
    }

    void dropBeginning()
    {
        m_output.remove(0, m_output.size() - m_maxOutputBytes);
        m_cut = true;
    }

    // Each whole line goes to the caller (who may cancel meanwhile); a line over the bound is
    // dropped up to its end.
    void handOverLines()
    {
        qsizetype from = 0;
        for (qsizetype end = m_output.indexOf('\n'); end >= 0 && m_done; end = m_output.indexOf('\n', from)) {
            const QByteArray line = m_output.sliced(from, end - from);
            from = end + 1;
            if (std::exchange(m_skippingLine, false) || line.size() > m_maxOutputBytes)
                continue;
            m_line(line);
        }
        m_output.remove(0, from);
        if (m_output.size() > m_maxOutputBytes) {
            m_output.clear();
            m_skippingLine = true;
        }
    }

    // Reports at once and kills the child; finished() then only cleans up.
    void end(Outcome outcome)
    {
        m_output.clear();
        report(Result { outcome, 0, {}, {} });
        m_process.kill();
    }

    // The first report wins. It reaches the caller as a later piece of work, never inside run().
    void report(Result result)
    {
        m_timeout.cancel();
        auto done = std::exchange(m_done, nullptr);
        if (!done)
            return;
        QMetaObject::invokeMethod(
            m_runner, [done = std::move(done), result = std::move(result)] { done(result); }, Qt::QueuedConnection);
    }

    QObject *m_runner;
    qint64 m_maxOutputBytes;
    ProcessRunner::Done m_done;
    ProcessRunner::Line m_line;
    QProcess m_process;
    QByteArray m_output;
    bool m_keepTail = false;
    bool m_cut = false;
    bool m_skippingLine = false;
    CancelHandle m_timeout;
};

} // namespace

QtProcessRunner::QtProcessRunner(Scheduler &scheduler, QObject *parent)
    : QObject(parent)
    , m_scheduler(scheduler)
{ }

void QtProcessRunner::run(const QString &program, const QStringList &arguments, const Limits &limits, Done done)
{
    auto *processRun = new ProcessRun(this, limits.maxOutputBytes, std::move(done));
    if (limits.keepTail)
        processRun->keepTail();
    processRun->start(&m_scheduler, limits.timeoutSeconds, program, arguments);
}

CancelHandle QtProcessRunner::stream(
    const QString &program, const QStringList &arguments, qint64 maxLineBytes, Line line, Done ended)
{
    auto *processRun = new ProcessRun(this, maxLineBytes, std::move(ended), std::move(line));
    processRun->start(nullptr, 0, program, arguments);
    return CancelHandle::create([run = QPointer<ProcessRun>(processRun)] {
        if (run)
            run->cancel();
    });
}

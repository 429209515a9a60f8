#include "services/QtProcessRunner.h"

#include "core/Scheduler.h"

#include <QPointer>
#include <QProcess>

namespace {

using Result = ProcessRunner::Result;
using Outcome = Result::Outcome;

// One child process, from its start to its report. Deletes itself once the child is gone.
class ProcessRun final : public QObject {
public:
    ProcessRun(QObject *runner, const ProcessRunner::Limits &limits, ProcessRunner::Done done)
        : QObject(runner)
        , m_runner(runner)
        , m_maxOutputBytes(limits.maxOutputBytes)
        , m_done(std::move(done))
    {
        m_process.setStandardInputFile(QProcess::nullDevice());
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        connect(&m_process, &QProcess::readyReadStandardOutput, this, [this] { collectOutput(); });
        connect(&m_process, &QProcess::finished, this, [this](int exitCode, QProcess::ExitStatus status) {
            // Whatever is still buffered belongs to the output: read it before taking the exit.
            collectOutput();
            const auto outcome = status == QProcess::NormalExit ? Outcome::Exited : Outcome::Crashed;
            report(Result { outcome, exitCode, std::exchange(m_output, {}), {} });
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

    void start(Scheduler &scheduler, double timeoutSeconds, const QString &program, const QStringList &arguments)
    {
        m_timeout = scheduler.schedule(timeoutSeconds, [self = QPointer<ProcessRun>(this)] {
            if (self)
                self->end(Outcome::TimedOut);
        });
        m_process.start(program, arguments, QIODevice::ReadOnly);
    }

private:
    void collectOutput()
    {
        if (!m_done)
            return;
        m_output += m_process.readAllStandardOutput();
        if (m_output.size() > m_maxOutputBytes)
            end(Outcome::OutputTooLarge);
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
    QProcess m_process;
    QByteArray m_output;
    CancelHandle m_timeout;
};

} // namespace

QtProcessRunner::QtProcessRunner(Scheduler &scheduler, QObject *parent)
    : QObject(parent)
    , m_scheduler(scheduler)
{ }

void QtProcessRunner::run(const QString &program, const QStringList &arguments, const Limits &limits, Done done)
{
    auto *processRun = new ProcessRun(this, limits, std::move(done));
    processRun->start(m_scheduler, limits.timeoutSeconds, program, arguments);
}

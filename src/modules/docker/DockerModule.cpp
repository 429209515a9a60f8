#include "modules/docker/DockerModule.h"

#include <QPointer>

namespace {

const QString notRunningText = QStringLiteral("Docker ist nicht installiert oder nicht gestartet.");
const QString notAnsweringText = QStringLiteral("Docker antwortet nicht.");

} // namespace

DockerModule::DockerModule(Scheduler &scheduler, std::unique_ptr<ContainerSource> source, QObject *parent)
    : DevModule(parent)
    , m_scheduler(scheduler)
    , m_source(std::move(source))
{ }

DockerModule::~DockerModule()
{
    m_pause.cancel();
}

std::optional<ModuleStatus> DockerModule::compactStatus() const
{
    if (m_errorText || m_containers.isEmpty())
        return std::nullopt;
    const auto running = std::count_if(
        m_containers.cbegin(), m_containers.cend(), [](const DockerContainer &c) { return c.state == u"running"; });
    const QString text = QStringLiteral("%1 von %2 Containern laufen").arg(running).arg(m_containers.size());
    return ModuleStatus { text, running > 0 ? Color::green() : Color::gray() };
}

void DockerModule::start()
{
    stop();
    poll(m_loop);
}

void DockerModule::stop()
{
    m_pause.cancel();
    ++m_loop;
}

void DockerModule::poll(quint64 loop)
{
    refresh([self = QPointer<DockerModule>(this), loop] {
        if (!self || self->m_loop != loop)
            return;
        self->m_pause = self->m_scheduler.schedule(pollInterval, [self, loop] {
            if (self && self->m_loop == loop)
                self->poll(loop);
        });
    });
}

void DockerModule::refresh(std::function<void()> finished)
{
    const quint64 pollNumber = ++m_pollsStarted;
    m_source->listContainers([self = QPointer<DockerModule>(this), pollNumber, finished = std::move(finished)](
                                 const ContainerSource::Result &result) {
        if (!self)
            return;
        self->store(pollNumber, result);
        if (finished)
            finished();
    });
}

void DockerModule::store(quint64 pollNumber, const ContainerSource::Result &result)
{
    // With overlapping polls (a restart while one is under way) the later answer must win.
    if (pollNumber < m_pollStored)
        return;
    m_pollStored = pollNumber;
    if (const auto *containers = std::get_if<DockerContainerList>(&result)) {
        setContainers(*containers);
        setErrorText(std::nullopt);
    } else if (std::get<DockerError>(result).kind == DockerError::Kind::SocketNotFound) {
        setContainers({});
        setErrorText(notRunningText);
    } else {
        setErrorText(notAnsweringText);
    }
}

void DockerModule::setContainers(DockerContainerList containers)
{
    Q_EMIT willChange();
    m_containers = std::move(containers);
}

void DockerModule::setErrorText(std::optional<QString> text)
{
    Q_EMIT willChange();
    m_errorText = std::move(text);
}

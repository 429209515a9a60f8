#include "modules/docker/DockerModule.h"

#include <QPointer>

namespace {

const char *const notRunningText
    = QT_TRANSLATE_NOOP("DockerModule", "Docker ist nicht installiert oder nicht gestartet.");
const char *const notAnsweringText = QT_TRANSLATE_NOOP("DockerModule", "Docker antwortet nicht.");
constexpr int runningNamesShown = 3;

bool isRunning(const DockerContainer &container)
{
    return container.state == u"running";
}

} // namespace

DockerModule::DockerModule(Scheduler &scheduler, std::unique_ptr<ContainerSource> source, QObject *parent)
    : DevModule(parent)
    , m_source(std::move(source))
    , m_loop(scheduler, [this](PollLoop::Finished finished) {
        refresh([finished = std::move(finished)] { finished(pollInterval); });
    })
{ }

std::optional<ModuleStatus> DockerModule::compactStatus() const
{
    if (m_errorText || m_containers.isEmpty())
        return std::nullopt;
    const auto running = std::count_if(m_containers.cbegin(), m_containers.cend(), isRunning);
    const QString text = tr("%1 von %n Containern laufen", nullptr, int(m_containers.size())).arg(running);
    return ModuleStatus { text, running > 0 ? ModuleStatus::Severity::Fine : ModuleStatus::Severity::Idle };
}

void DockerModule::start()
{
    m_loop.start();
}

void DockerModule::stop()
{
    m_loop.stop();
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
        m_errorText.reset();
    } else if (std::get<DockerError>(result).kind == DockerError::Kind::SocketNotFound) {
        setContainers({});
        m_errorText = tr(notRunningText);
    } else {
        m_errorText = tr(notAnsweringText);
    }
    Q_EMIT changed();
}

void DockerModule::setContainers(DockerContainerList containers)
{
    m_containers = std::move(containers);
    // A refusal is kept for as long as its container is there.
    m_refusals.removeIf([this](const auto &entry) {
        return std::none_of(m_containers.cbegin(), m_containers.cend(),
            [&](const DockerContainer &container) { return container.id == entry.key(); });
    });
}

QString DockerModule::displayName(const DockerContainer &container)
{
    if (container.names.isEmpty())
        return container.id.left(12);
    const QString &name = container.names.first();
    return name.startsWith(u'/') ? name.mid(1) : name;
}

QList<ModuleRow> DockerModule::overlayRows() const
{
    if (m_errorText)
        return { ModuleRow { *m_errorText, QString(), std::nullopt, Color::gray(), QUrl() } };
    if (const std::optional<ModuleStatus> status = compactStatus()) {
        QStringList names;
        for (const DockerContainer &container : m_containers) {
            if (isRunning(container) && names.size() < runningNamesShown)
                names.append(displayName(container));
        }
        return { ModuleRow { status->text, names.join(QStringLiteral(", ")), std::nullopt, status->color(), QUrl() } };
    }
    const QString detail = m_pollStored == 0 ? tr("Lädt …") : tr("Keine Container");
    return { ModuleRow { title(), detail, std::nullopt, Color::gray(), QUrl() } };
}

QList<ModuleDetail> DockerModule::details() const
{
    QList<ModuleDetail> details;
    for (const DockerContainer &container : m_containers) {
        const QString name = displayName(container);
        const bool running = isRunning(container);
        ModuleCommand command { running ? tr("Stoppen") : tr("Starten"),
            (running ? tr("%1 stoppen") : tr("%1 starten")).arg(name), m_underWay.contains(container.id),
            // Pressed later, when the module acts on it: the list itself stays unchanged here.
            [self = QPointer<DockerModule>(const_cast<DockerModule *>(this)), id = container.id, running] {
                if (self)
                    self->setRunning(id, !running);
            } };
        const ModuleRow row { name, container.image + QStringLiteral(" \u00B7 ") + container.state, std::nullopt,
            running ? Color::green() : Color::gray(), QUrl() };
        details.append(ModuleDetail { QString(), row, std::move(command), m_refusals.value(container.id) });
    }
    return details;
}

void DockerModule::setRunning(const QString &containerId, bool running)
{
    if (m_underWay.contains(containerId))
        return;
    m_underWay.insert(containerId);
    Q_EMIT changed();
    m_source->setRunning(containerId, running,
        [self = QPointer<DockerModule>(this), containerId](const ContainerSource::CommandResult &failure) {
            if (!self)
                return;
            self->m_underWay.remove(containerId);
            if (!failure) {
                self->m_refusals.remove(containerId);
            } else if (failure->kind == DockerError::Kind::Refused && !failure->detail.isEmpty()) {
                self->m_refusals.insert(containerId, failure->detail);
            } else {
                self->m_refusals.insert(containerId,
                    tr(failure->kind == DockerError::Kind::SocketNotFound ? notRunningText : notAnsweringText));
            }
            Q_EMIT self->changed();
            self->refresh();
        });
}

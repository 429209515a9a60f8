#include "modules/docker/DockerModule.h"

#include <QPointer>

namespace {

const char *const notRunningText
    = QT_TRANSLATE_NOOP("DockerModule", "Docker ist nicht installiert oder nicht gestartet.");
const char *const notAnsweringText = QT_TRANSLATE_NOOP("DockerModule", "Docker antwortet nicht.");
constexpr int overlayItemsShown = 3;

bool isRunning(const DockerContainer &container)
{
    return container.state == u"running";
}

QString errorTextOf(const DockerError &error)
{
    if (error.kind == DockerError::Kind::Unreachable)
        return error.detail;
    return DockerModule::tr(error.kind == DockerError::Kind::SocketNotFound ? notRunningText : notAnsweringText);
}

} // namespace

DockerModule::DockerModule(
    Scheduler &scheduler, EventBus &bus, std::unique_ptr<ContainerSource> source, QObject *parent)
    : DevModule(parent)
    , m_bus(bus)
    , m_source(std::move(source))
    , m_watch(
          scheduler, *m_source, [this](std::function<void(bool)> finished) { refresh(std::move(finished)); },
          [this](const DockerEvent &event) {
              if (m_news.repeats(event))
                  return false;
              if (const std::optional<DockerNews::Death> death = m_news.take(event))
                  announce(*death);
              return true;
          })
{ }

QString DockerModule::description() const
{
    return tr("Container mit Status, Compose-Projekte gruppiert. Start, Stop, Neustart und Protokoll per Klick.");
}

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
    m_watch.start();
}

void DockerModule::stop()
{
    m_watch.stop();
}

void DockerModule::refresh(std::function<void(bool answered)> finished)
{
    const quint64 pollNumber = ++m_pollsStarted;
    m_source->listContainers([self = QPointer<DockerModule>(this), pollNumber, finished = std::move(finished)](
                                 const ContainerSource::Result &result) {
        if (!self)
            return;
        self->store(pollNumber, result);
        if (finished)
            finished(std::holds_alternative<DockerContainerList>(result));
    });
}

void DockerModule::store(quint64 pollNumber, const ContainerSource::Result &result)
{
    // With overlapping reads (a restart while one is under way) the later answer must win.
    if (pollNumber < m_pollStored)
        return;
    m_pollStored = pollNumber;
    if (const auto *containers = std::get_if<DockerContainerList>(&result)) {
        setContainers(*containers);
        m_errorText.reset();
    } else {
        m_engineMissing = std::get<DockerError>(result).kind == DockerError::Kind::SocketNotFound;
        if (m_engineMissing)
            setContainers({});
        m_errorText = errorTextOf(std::get<DockerError>(result));
    }
    Q_EMIT changed();
}

void DockerModule::setContainers(DockerContainerList containers)
{
    m_containers = std::move(containers);
    const auto gone = [this](const QString &id) {
        return std::none_of(m_containers.cbegin(), m_containers.cend(),
            [&](const DockerContainer &container) { return container.id == id; });
    };
    // A refusal and an open log are kept for as long as their container is there.
    m_commands.keepRefusalsWhere([&](const QString &id, ContainerSource::Command) { return !gone(id); });
    if (!m_logContainer.isEmpty() && gone(m_logContainer))
        m_logContainer.clear();
}

void DockerModule::announce(const DockerNews::Death &death)
{
    using Cause = DockerNews::Death::Cause;
    QString name = death.name;
    for (const DockerContainer &container : m_containers) {
        if (name.isEmpty() && container.id == death.containerId)
            name = displayName(container);
    }
    if (name.isEmpty())
        name = death.containerId.left(12);
    QString text;
    switch (death.cause) {
    case Cause::Exited:
        text = tr("%1 beendet (Code %2)").arg(name, QString::number(death.exitCode));
        break;
    case Cause::OutOfMemory:
        text = tr("%1 ohne Speicher beendet").arg(name);
        break;
    case Cause::Unhealthy:
        text = tr("%1 ist nicht mehr gesund").arg(name);
        break;
    }
    m_bus.publish(ModuleEvent { id(), text, ModuleStatus::Severity::Failing, unexpectedExit });
}

QString DockerModule::displayName(const DockerContainer &container)
{
    if (container.names.isEmpty())
        return container.id.left(12);
    const QString &name = container.names.first();
    return name.startsWith(u'/') ? name.mid(1) : name;
}

void DockerModule::send(const QStringList &containerIds, ContainerSource::Command command)
{
    QStringList ids;
    for (const QString &id : containerIds) {
        if (!m_commands.isUnderWay(id) && !ids.contains(id))
            ids.append(id);
    }
    if (ids.isEmpty())
        return;
    for (const QString &id : ids) {
        m_commands.begin(id);
        if (command != ContainerSource::Command::Start)
            m_news.stopAsked(id);
    }
    Q_EMIT changed();
    sendNext(std::move(ids), command);
}

void DockerModule::sendNext(QStringList containerIds, ContainerSource::Command command)
{
    const QString id = containerIds.takeFirst();
    m_source->send(id, command,
        [self = QPointer<DockerModule>(this), id, rest = std::move(containerIds), command](
            const ContainerSource::CommandResult &failure) mutable {
            if (!self)
                return;
            if (!failure)
                self->m_commands.taken(id);
            else if (failure->kind == DockerError::Kind::Refused && !failure->detail.isEmpty())
                self->m_commands.refused(id, command, failure->detail);
            else
                self->m_commands.refused(id, command, errorTextOf(*failure));
            Q_EMIT self->changed();
            if (!rest.isEmpty())
                self->sendNext(std::move(rest), command);
            else if (!self->m_watch.isStreaming())
                self->refresh();
        });
}

void DockerModule::showLog(const QString &containerId)
{
    if (m_logLoading && m_logContainer == containerId)
        return;
    if (m_logContainer != containerId)
        m_logText.clear();
    m_logContainer = containerId;
    m_logLoading = true;
    Q_EMIT changed();
    m_source->readLogs(containerId, [self = QPointer<DockerModule>(this), containerId](const auto &result) {
        if (!self || self->m_logContainer != containerId)
            return;
        self->m_logLoading = false;
        if (const auto *text = std::get_if<QString>(&result)) {
            self->m_logText = *text;
            self->m_commands.taken(containerId);
        } else {
            // Which command it is filed under does not matter: it stands while its container is there.
            self->m_commands.refused(
                containerId, ContainerSource::Command::Start, errorTextOf(std::get<DockerError>(result)));
        }
        Q_EMIT self->changed();
    });
}

void DockerModule::closeLog()
{
    m_logContainer.clear();
    m_logText.clear();
    m_logLoading = false;
    Q_EMIT changed();
}

namespace {

// "shop: 3 von 4 laufen" for a Compose project.
QString projectSummary(const DockerContainerList &containers, const QString &project, bool withName)
{
    qsizetype total = 0;
    int running = 0;
    for (const DockerContainer &container : containers) {
        if (container.project == project) {
            ++total;
            running += isRunning(container) ? 1 : 0;
        }
    }
    if (!withName)
        return DockerModule::tr("%n von %1 laufen", nullptr, running).arg(total);
    return DockerModule::tr("%1: %n von %2 laufen", nullptr, running).arg(project, QString::number(total));
}

} // namespace

QList<ModuleRow> DockerModule::overlayRows() const
{
    if (m_errorText) {
        // No engine found: the row leads to the module's pane.
        return { ModuleRow { *m_errorText, QString(), std::nullopt, ModuleStatus::Severity::Idle, QUrl(),
            m_engineMissing ? id() : QString() } };
    }
    if (const std::optional<ModuleStatus> status = compactStatus()) {
        // Projects as they first appear, and running containers outside one.
        QStringList items;
        QStringList projects;
        for (const DockerContainer &container : m_containers) {
            if (!container.project.isEmpty() && !projects.contains(container.project)) {
                projects.append(container.project);
                items.append(projectSummary(m_containers, container.project, true));
            } else if (container.project.isEmpty() && isRunning(container)) {
                items.append(displayName(container));
            }
        }
        return { ModuleRow { status->text, items.mid(0, overlayItemsShown).join(QStringLiteral(", ")), std::nullopt,
            status->severity, QUrl() } };
    }
    const QString detail = m_pollStored == 0 ? tr("Lädt …") : tr("Keine Container");
    return { ModuleRow { title(), detail, std::nullopt, ModuleStatus::Severity::Idle, QUrl() } };
}

QList<ModuleDetail> DockerModule::details() const
{
    QList<ModuleDetail> details;
    if (const std::optional<ContainerSource::Engine> engine = m_source->engine()) {
        details.append(ModuleDetail { tr("Engine"),
            ModuleRow { engine->name, engine->address, std::nullopt,
                m_errorText ? ModuleStatus::Severity::Idle : ModuleStatus::Severity::Fine, QUrl() },
            {}, {} });
    }
    QStringList projects;
    for (const DockerContainer &container : m_containers) {
        if (!container.project.isEmpty() && !projects.contains(container.project)) {
            projects.append(container.project);
            details.append(projectDetail(container.project));
        }
        details.append(containerDetail(container));
    }
    return details;
}

ModuleDetail DockerModule::projectDetail(const QString &project) const
{
    using Command = ContainerSource::Command;
    QStringList ids;
    bool underWay = false;
    for (const DockerContainer &container : m_containers) {
        if (container.project == project) {
            ids.append(container.id);
            underWay = underWay || m_commands.isUnderWay(container.id);
        }
    }
    const auto all = [&](Command command) {
        return ModuleCommand::later(this, [ids, command](DockerModule &module) { module.send(ids, command); });
    };
    QList<ModuleCommand> commands { { tr("Starten"), tr("Projekt %1 starten").arg(project), underWay,
                                        all(Command::Start) },
        { tr("Stoppen"), tr("Projekt %1 stoppen").arg(project), underWay, all(Command::Stop) } };
    const ModuleRow row { tr("Alle Container"), projectSummary(m_containers, project, false), std::nullopt,
        ModuleStatus::Severity::Idle, QUrl() };
    return ModuleDetail { project, row, std::move(commands), QString() };
}

ModuleDetail DockerModule::containerDetail(const DockerContainer &container) const
{
    using Command = ContainerSource::Command;
    const QString name = displayName(container);
    const QString id = container.id;
    const bool running = isRunning(container);
    const bool underWay = m_commands.isUnderWay(id);
    const bool logOpen = m_logContainer == id;
    const auto send = [&](Command command) {
        return ModuleCommand::later(this, [id, command](DockerModule &module) { module.send({ id }, command); });
    };
    const QString logTitle = tr("Protokoll von %1").arg(name);
    QList<ModuleCommand> commands {
        { running ? tr("Stoppen") : tr("Starten"), (running ? tr("%1 stoppen") : tr("%1 starten")).arg(name), underWay,
            send(running ? Command::Stop : Command::Start) },
        { tr("Neu starten"), tr("%1 neu starten").arg(name), underWay, send(Command::Restart) },
        { logOpen ? tr("Protokoll schließen") : tr("Protokoll"), logOpen ? tr("%1 schließen").arg(logTitle) : logTitle,
            false,
            ModuleCommand::later(
                this, [id, logOpen](DockerModule &module) { logOpen ? module.closeLog() : module.showLog(id); }) },
    };
    const ModuleRow row { name, container.image + QStringLiteral(" \u00B7 ") + container.state, std::nullopt,
        running ? ModuleStatus::Severity::Fine : ModuleStatus::Severity::Idle, QUrl() };
    ModuleDetail detail { container.project, row, std::move(commands), m_commands.refusal(id) };
    if (logOpen)
        detail.document = ModuleDocument { logTitle, m_logText, m_logLoading,
            ModuleCommand::later(this, [id](DockerModule &module) { module.showLog(id); }) };
    return detail;
}

QList<ModuleNewsKind> DockerModule::newsKinds() const
{
    return { { unexpectedExit, tr("Container unerwartet beendet") } };
}

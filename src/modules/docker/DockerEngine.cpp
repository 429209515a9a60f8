#include "modules/docker/DockerEngine.h"

#include "modules/docker/DockerModule.h"

#include <QPointer>
#include <QRegularExpression>

namespace {

const char *const notRunningText
    = QT_TRANSLATE_NOOP("DockerModule", "Docker ist nicht installiert oder nicht gestartet.");
const char *const notAnsweringText = QT_TRANSLATE_NOOP("DockerModule", "Docker antwortet nicht.");
constexpr int overlayItemsShown = 3;

bool isRunning(const DockerContainer &container)
{
    return container.state == u"running";
}

// Ended with an error code or killed ("Exited (137) 2 minutes ago"), dead, or running but
// unhealthy ("Up 3 hours (unhealthy)"), as the engine's state and status line say. 143, the end
// of a SIGTERM, is what a stop asks for.
bool hasFailed(const DockerContainer &container)
{
    static const QRegularExpression exitCode(QStringLiteral("^Exited \\((\\d+)\\)"));
    if (container.state == u"dead" || container.status.contains(u"(unhealthy)"))
        return true;
    const QRegularExpressionMatch exited = exitCode.match(container.status);
    const int code = exited.hasMatch() ? exited.captured(1).toInt() : 0;
    return container.state == u"exited" && code != 0 && code != 143;
}

QString errorTextOf(const DockerError &error)
{
    if (error.kind == DockerError::Kind::Unusable)
        return error.detail;
    return DockerModule::tr(error.kind == DockerError::Kind::SocketNotFound ? notRunningText : notAnsweringText);
}

} // namespace

DockerEngine::DockerEngine(
    Scheduler &scheduler, EventBus &bus, QString name, std::unique_ptr<ContainerSource> source, QObject *parent)
    : QObject(parent)
    , m_scheduler(scheduler)
    , m_bus(bus)
    , m_name(std::move(name))
    , m_source(std::move(source))
    , m_watch(
          scheduler, *m_source, [this](std::function<void(bool)> finished) { refresh(std::move(finished)); },
          [this](const DockerEvent &event) {
              if (m_news.repeats(event))
                  return false;
              if (const std::optional<DockerNews::Death> death = m_news.take(event, m_scheduler.now()))
                  announce(*death);
              return true;
          })
{
    // The way to the engine came up (its stream begins) or went down (the read says why), with
    // no request to tell: read at once.
    m_source->whenRouteChanged([this] {
        if (m_watch.isRunning())
            m_watch.start();
    });
}

std::optional<ModuleStatus> DockerEngine::compactStatus() const
{
    if (m_errorText || m_containers.isEmpty())
        return std::nullopt;
    const auto running = std::count_if(m_containers.cbegin(), m_containers.cend(), isRunning);
    const QString text
        = DockerModule::tr("%1 von %n Containern laufen", nullptr, int(m_containers.size())).arg(running);
    return ModuleStatus { text, running > 0 ? ModuleStatus::Severity::Fine : ModuleStatus::Severity::Idle };
}

ModuleCounts DockerEngine::counts() const
{
    ModuleCounts counts;
    counts.containersRunning = int(std::count_if(m_containers.cbegin(), m_containers.cend(), isRunning));
    counts.containersFailed = int(std::count_if(m_containers.cbegin(), m_containers.cend(), hasFailed));
    return counts;
}

void DockerEngine::start()
{
    m_watch.start();
}

void DockerEngine::stop()
{
    m_watch.stop();
    m_loopEnd.cancel();
    m_source->release();
}

void DockerEngine::refresh(std::function<void(bool answered)> finished)
{
    const quint64 pollNumber = ++m_pollsStarted;
    m_source->listContainers([self = QPointer<DockerEngine>(this), pollNumber, finished = std::move(finished)](
                                 const ContainerSource::Result &result) {
        if (!self)
            return;
        self->store(pollNumber, result);
        if (finished)
            finished(std::holds_alternative<DockerContainerList>(result));
    });
}

void DockerEngine::store(quint64 pollNumber, const ContainerSource::Result &result)
{
    // With overlapping reads (a restart while one is under way) the later answer must win.
    if (pollNumber < m_pollStored)
        return;
    m_pollStored = pollNumber;
    if (const auto *containers = std::get_if<DockerContainerList>(&result)) {
        setContainers(*containers);
        m_errorText.reset();
    } else {
        const DockerError::Kind kind = std::get<DockerError>(result).kind;
        m_engineMissing = kind == DockerError::Kind::SocketNotFound || kind == DockerError::Kind::Unusable;
        if (m_engineMissing)
            setContainers({});
        m_errorText = errorTextOf(std::get<DockerError>(result));
    }
    Q_EMIT changed();
}

void DockerEngine::setContainers(DockerContainerList containers)
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

void DockerEngine::announce(const DockerNews::Death &death)
{
    using Cause = DockerNews::Death::Cause;
    QString name = death.name;
    for (const DockerContainer &container : m_containers) {
        if (name.isEmpty() && container.id == death.containerId)
            name = DockerModule::displayName(container);
    }
    if (name.isEmpty())
        name = death.containerId.left(12);
    QString text;
    switch (death.cause) {
    case Cause::Exited:
        text = DockerModule::tr("%1 beendet (Code %2)").arg(name, QString::number(death.exitCode));
        break;
    case Cause::OutOfMemory:
        text = DockerModule::tr("%1 ohne Speicher beendet").arg(name);
        break;
    case Cause::Unhealthy:
        text = DockerModule::tr("%1 ist nicht mehr gesund").arg(name);
        break;
    }
    if (!m_name.isEmpty())
        text = m_name + QStringLiteral(": ") + text;
    // A loop is told once; its later ends go only to the history, and its lines say it loops.
    m_bus.publish(ModuleEvent { DockerModule::moduleId, text, ModuleStatus::Severity::Failing,
        DockerModule::unexpectedExit, QUrl(), death.inLoop > 1 });
    if (death.inLoop > 1)
        followLoops();
}

void DockerEngine::followLoops()
{
    // The lines change when a loop's ten minutes are over, with no event to tell.
    m_loopEnd.cancel();
    const double now = m_scheduler.now();
    if (const std::optional<double> end = m_news.nextLoopEnd(now)) {
        m_loopEnd = m_scheduler.schedule(*end - now, [self = QPointer<DockerEngine>(this)] {
            if (!self)
                return;
            Q_EMIT self->changed();
            self->followLoops();
        });
    }
}

QString DockerEngine::loopText(const QString &containerId) const
{
    const int count = m_news.loopCount(containerId, m_scheduler.now());
    return count == 0 ? QString() : DockerModule::tr("startet immer wieder neu (%1× in 10 Min.)").arg(count);
}

void DockerEngine::send(const QStringList &containerIds, ContainerSource::Command command)
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

void DockerEngine::sendNext(QStringList containerIds, ContainerSource::Command command)
{
    const QString id = containerIds.takeFirst();
    m_source->send(id, command,
        [self = QPointer<DockerEngine>(this), id, rest = std::move(containerIds), command](
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

void DockerEngine::showLog(const QString &containerId)
{
    if (m_logLoading && m_logContainer == containerId)
        return;
    if (m_logContainer != containerId)
        m_logText.clear();
    m_logContainer = containerId;
    m_logLoading = true;
    Q_EMIT changed();
    m_source->readLogs(containerId, [self = QPointer<DockerEngine>(this), containerId](const auto &result) {
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

void DockerEngine::closeLog()
{
    m_logContainer.clear();
    m_logText.clear();
    m_logLoading = false;
    Q_EMIT changed();
}

namespace {

// "shop: 3 von 4 laufen" over a Compose project's containers (or all, for no project), led by
// `name` unless that is empty.
QString projectSummary(
    const DockerContainerList &containers, const std::optional<QString> &project, const QString &name)
{
    qsizetype total = 0;
    int running = 0;
    for (const DockerContainer &container : containers) {
        if (!project || container.project == *project) {
            ++total;
            running += isRunning(container) ? 1 : 0;
        }
    }
    if (name.isEmpty())
        return DockerModule::tr("%n von %1 laufen", nullptr, running).arg(total);
    return DockerModule::tr("%1: %n von %2 laufen", nullptr, running).arg(name, QString::number(total));
}

} // namespace

QString DockerEngine::shownName() const
{
    return m_name.isEmpty() ? DockerModule::tr("Lokal") : m_name;
}

QList<ModuleRow> DockerEngine::overlayRows(const QString &paneId, bool named) const
{
    if (m_errorText) {
        // No engine found: the row leads to the module's pane.
        return { ModuleRow { named ? shownName() + QStringLiteral(": ") + *m_errorText : *m_errorText, QString(),
            std::nullopt, ModuleStatus::Severity::Idle, QUrl(), m_engineMissing ? paneId : QString() } };
    }
    if (const std::optional<ModuleStatus> status = compactStatus()) {
        // Projects as they first appear, and running containers outside one.
        QStringList items;
        QStringList projects;
        for (const DockerContainer &container : m_containers) {
            if (!container.project.isEmpty() && !projects.contains(container.project)) {
                projects.append(container.project);
                items.append(projectSummary(m_containers, container.project, container.project));
            } else if (container.project.isEmpty() && isRunning(container)) {
                items.append(DockerModule::displayName(container));
            }
        }
        const QString title = named ? projectSummary(m_containers, std::nullopt, shownName()) : status->text;
        QList<ModuleRow> rows { ModuleRow { title, items.mid(0, overlayItemsShown).join(QStringLiteral(", ")),
            std::nullopt, status->severity, QUrl() } };
        for (const DockerContainer &container : m_containers) {
            if (const QString loop = loopText(container.id); !loop.isEmpty())
                rows.append(ModuleRow { DockerModule::displayName(container), loop, std::nullopt,
                    ModuleStatus::Severity::Failing, QUrl() });
        }
        return rows;
    }
    const QString detail = m_pollStored == 0 ? DockerModule::tr("Lädt …") : DockerModule::tr("Keine Container");
    return { ModuleRow {
        named ? shownName() : QStringLiteral("Docker"), detail, std::nullopt, ModuleStatus::Severity::Idle, QUrl() } };
}

QString DockerEngine::heading(const QString &project, bool named) const
{
    if (!named)
        return project;
    return project.isEmpty() ? shownName() : shownName() + QStringLiteral(" \u00B7 ") + project;
}

QList<ModuleDetail> DockerEngine::details(bool named) const
{
    QList<ModuleDetail> details;
    const QString engineHeading = named ? shownName() : DockerModule::tr("Engine");
    if (const std::optional<ContainerSource::Engine> engine = m_source->engine()) {
        details.append(ModuleDetail { engineHeading,
            ModuleRow { engine->name, engine->address, std::nullopt,
                m_errorText ? ModuleStatus::Severity::Idle : ModuleStatus::Severity::Fine, QUrl() },
            {}, {} });
    }
    // Among several engines, one that fails says so in a line of its own.
    if (named && m_errorText) {
        details.append(ModuleDetail { engineHeading,
            ModuleRow { shownName(), *m_errorText, std::nullopt, ModuleStatus::Severity::Failing, QUrl() }, {}, {} });
    }
    QStringList projects;
    for (const DockerContainer &container : m_containers) {
        if (!container.project.isEmpty() && !projects.contains(container.project)) {
            projects.append(container.project);
            details.append(projectDetail(container.project, heading(container.project, named)));
        }
        details.append(containerDetail(container, heading(container.project, named)));
    }
    return details;
}

ModuleDetail DockerEngine::projectDetail(const QString &project, const QString &group) const
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
        return ModuleCommand::later(this, [ids, command](DockerEngine &module) { module.send(ids, command); });
    };
    QList<ModuleCommand> commands { { DockerModule::tr("Starten"), DockerModule::tr("Projekt %1 starten").arg(project),
                                        underWay, all(Command::Start) },
        { DockerModule::tr("Stoppen"), DockerModule::tr("Projekt %1 stoppen").arg(project), underWay,
            all(Command::Stop) } };
    const ModuleRow row { DockerModule::tr("Alle Container"), projectSummary(m_containers, project, QString()),
        std::nullopt, ModuleStatus::Severity::Idle, QUrl() };
    return ModuleDetail { group, row, std::move(commands), QString() };
}

ModuleDetail DockerEngine::containerDetail(const DockerContainer &container, const QString &group) const
{
    using Command = ContainerSource::Command;
    const QString name = DockerModule::displayName(container);
    const QString id = container.id;
    const bool running = isRunning(container);
    const bool underWay = m_commands.isUnderWay(id);
    const bool logOpen = m_logContainer == id;
    const auto send = [&](Command command) {
        return ModuleCommand::later(this, [id, command](DockerEngine &module) { module.send({ id }, command); });
    };
    const QString logTitle = DockerModule::tr("Protokoll von %1").arg(name);
    QList<ModuleCommand> commands {
        { running ? DockerModule::tr("Stoppen") : DockerModule::tr("Starten"),
            (running ? DockerModule::tr("%1 stoppen") : DockerModule::tr("%1 starten")).arg(name), underWay,
            send(running ? Command::Stop : Command::Start) },
        { DockerModule::tr("Neu starten"), DockerModule::tr("%1 neu starten").arg(name), underWay,
            send(Command::Restart) },
        { logOpen ? DockerModule::tr("Protokoll schließen") : DockerModule::tr("Protokoll"),
            logOpen ? DockerModule::tr("%1 schließen").arg(logTitle) : logTitle, false,
            ModuleCommand::later(
                this, [id, logOpen](DockerEngine &module) { logOpen ? module.closeLog() : module.showLog(id); }) },
    };
    const QString loop = loopText(id);
    const ModuleRow row { name,
        container.image + QStringLiteral(" \u00B7 ") + (loop.isEmpty() ? container.state : loop), std::nullopt,
        !loop.isEmpty() ? ModuleStatus::Severity::Failing
            : running   ? ModuleStatus::Severity::Fine
                        : ModuleStatus::Severity::Idle,
        QUrl() };
    ModuleDetail detail { group, row, std::move(commands), m_commands.refusal(id) };
    if (logOpen)
        detail.document = ModuleDocument { logTitle, m_logText, m_logLoading,
            ModuleCommand::later(this, [id](DockerEngine &module) { module.showLog(id); }) };
    return detail;
}

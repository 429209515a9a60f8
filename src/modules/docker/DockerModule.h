#pragma once

#include "core/CommandLedger.h"
#include "core/DevModule.h"
#include "core/EventBus.h"
#include "core/Scheduler.h"
#include "modules/docker/ContainerSource.h"
#include "modules/docker/DockerNews.h"
#include "modules/docker/DockerWatch.h"

#include <QHash>
#include <QSet>

#include <functional>
#include <memory>
#include <optional>

// The module for the local Docker engine. While started it follows the engine's event stream and
// reads the container list when something happens (every 15 seconds while the stream is down, see
// DockerWatch), sums it up as "N von M Containern laufen" and groups Compose projects. A container
// that dies unexpectedly, runs out of memory or turns unhealthy flashes in red. Its settings lines
// start, stop and restart containers and whole projects, and show a container's log.
//
// The app creates it as
//     DockerModule(scheduler, bus, std::make_unique<DockerClient>(processRunner))
// with the production scheduler and process runner.
class DockerModule final : public DevModule {
    Q_OBJECT
public:
    // A container that ended without being asked to (a non-zero exit, out of memory, unhealthy):
    // its kind of news, with its switch.
    static inline const QString unexpectedExit = QStringLiteral("docker.unexpectedExit");
    static constexpr double pollInterval = DockerWatch::pollInterval;

    DockerModule(
        Scheduler &scheduler, EventBus &bus, std::unique_ptr<ContainerSource> source, QObject *parent = nullptr);

    QString id() const override { return QStringLiteral("docker"); }
    QString title() const override { return QStringLiteral("Docker"); }
    QString symbol() const override { return QStringLiteral("shippingbox"); }
    QString description() const override;
    std::optional<ModuleStatus> compactStatus() const override;
    // Starts the event stream and reads the list at once; anything running ends first (a read
    // under way still lands).
    void start() override;
    // Ends the stream process and every read to come; the list and the error text stay.
    void stop() override;

    // One read of the list; `finished` runs once its result is stored (or dropped for being older
    // than one already stored), with whether the engine answered.
    void refresh(std::function<void(bool answered)> finished = {});

    // The last list read, in the engine's order.
    const DockerContainerList &containers() const { return m_containers; }
    // The message of the last failed read, in the user's language; empty after a successful one.
    std::optional<QString> errorText() const override { return m_errorText; }

    // The status line over the Compose projects ("shop: 3 von 4 laufen") and the names of the
    // running containers outside one, up to three, or the error text (opening the module's pane
    // when no engine is found).
    QList<ModuleRow> overlayRows() const override;
    // The engine read, then every container in the engine's order with its commands (start or
    // stop, restart, log); a Compose project's containers under its name, led by a line with
    // start and stop for all of them.
    QList<ModuleDetail> details() const override;
    QList<ModuleNewsKind> newsKinds() const override;
    // Of the last list read: the running containers and those that ended badly or are unhealthy.
    ModuleCounts counts() const override;

    // Sends a command to each container in order, one after the other, then reads the list again
    // (unless the stream brings the change). A container whose command is under way is left out;
    // a refusal is kept beside its container.
    void send(const QStringList &containerIds, ContainerSource::Command command);
    // Opens a container's log and reads it (again); closes it.
    void showLog(const QString &containerId);
    void closeLog();

    // A container's first name without the engine's leading slash (its short id when unnamed).
    static QString displayName(const DockerContainer &container);

private:
    void store(quint64 pollNumber, const ContainerSource::Result &result);
    void setContainers(DockerContainerList containers);
    void sendNext(QStringList containerIds, ContainerSource::Command command);
    void announce(const DockerNews::Death &death);
    ModuleDetail containerDetail(const DockerContainer &container) const;
    ModuleDetail projectDetail(const QString &project) const;

    EventBus &m_bus;
    std::unique_ptr<ContainerSource> m_source;
    DockerContainerList m_containers;
    std::optional<QString> m_errorText;
    bool m_engineMissing = false; // the last failed read found no engine's socket
    // Reads are numbered as they start; a result older than the one stored is dropped.
    quint64 m_pollsStarted = 0;
    quint64 m_pollStored = 0;
    // Commands under way and the last refusal (of a command, or of reading the log), by container id.
    CommandLedger<QString, ContainerSource::Command> m_commands;
    DockerNews m_news;
    // The container whose log is open, its text and whether it is being read.
    QString m_logContainer;
    QString m_logText;
    bool m_logLoading = false;
    DockerWatch m_watch;
};

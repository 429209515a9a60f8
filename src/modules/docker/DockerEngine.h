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

// One engine the Docker module watches. While started it follows the engine's event stream and
// reads the container list when something happens (every 15 seconds while the stream is down, see
// DockerWatch), sums it up as "N von M Containern laufen" and groups Compose projects. A container
// that dies unexpectedly, runs out of memory or turns unhealthy flashes in red, a crash loop only
// at its first end (its lines say it loops until it stays up ten minutes). Its lines start, stop
// and restart containers and whole projects, and show a container's log.
class DockerEngine final : public QObject {
    Q_OBJECT
public:
    // `name` is the engine's context, or empty for the one the docker CLI uses now ("Lokal").
    DockerEngine(Scheduler &scheduler, EventBus &bus, QString name, std::unique_ptr<ContainerSource> source,
        QObject *parent = nullptr);

    const QString &name() const { return m_name; }
    // "Lokal", or the context's name.
    QString shownName() const;
    std::optional<ModuleStatus> compactStatus() const;
    // Of the last list read: the running containers and those that ended badly or are unhealthy.
    ModuleCounts counts() const;
    // Starts the event stream and reads the list at once; anything running ends first (a read
    // under way still lands).
    void start();
    // Ends the stream process, every read to come and what keeps the engine reachable; the list
    // and the error text stay.
    void stop();

    // One read of the list; `finished` runs once its result is stored (or dropped for being older
    // than one already stored), with whether the engine answered.
    void refresh(std::function<void(bool answered)> finished = {});

    // The last list read, in the engine's order.
    const DockerContainerList &containers() const { return m_containers; }
    // The message of the last failed read, in the user's language; empty after a successful one.
    std::optional<QString> errorText() const { return m_errorText; }

    // The status line over the Compose projects ("shop: 3 von 4 laufen") and the names of the
    // running containers outside one, up to three, then a line for each container in a crash
    // loop; or the error text (opening the module's pane, `paneId`, when no engine is found). With
    // `named`, the first line leads with the engine's name ("build-box: 3 von 4 laufen").
    QList<ModuleRow> overlayRows(const QString &paneId, bool named) const;
    // The engine read, then every container in the engine's order with its commands (start or
    // stop, restart, log); a Compose project's containers under its name, led by a line with
    // start and stop for all of them. With `named`, every heading leads with the engine's name.
    QList<ModuleDetail> details(bool named) const;

    // Sends a command to each container in order, one after the other, then reads the list again
    // (unless the stream brings the change). A container whose command is under way is left out;
    // a refusal is kept beside its container.
    void send(const QStringList &containerIds, ContainerSource::Command command);
    // Opens a container's log and reads it (again); closes it.
    void showLog(const QString &containerId);
    void closeLog();

Q_SIGNALS:
    // After a change to anything shown.
    void changed();

private:
    void store(quint64 pollNumber, const ContainerSource::Result &result);
    void setContainers(DockerContainerList containers);
    void sendNext(QStringList containerIds, ContainerSource::Command command);
    void announce(const DockerNews::Death &death);
    void followLoops();
    // "startet immer wieder neu (5× in 10 Min.)" while the container loops, else empty.
    QString loopText(const QString &containerId) const;
    ModuleDetail containerDetail(const DockerContainer &container, const QString &heading) const;
    ModuleDetail projectDetail(const QString &project, const QString &heading) const;
    // The heading a line sits under: its project, led by the engine's name when `named`.
    QString heading(const QString &project, bool named) const;

    Scheduler &m_scheduler;
    EventBus &m_bus;
    QString m_name;
    std::unique_ptr<ContainerSource> m_source;
    DockerContainerList m_containers;
    std::optional<QString> m_errorText;
    bool m_engineMissing = false; // the last failed read found no engine, or no usable address
    // Reads are numbered as they start; a result older than the one stored is dropped.
    quint64 m_pollsStarted = 0;
    quint64 m_pollStored = 0;
    // Commands under way and the last refusal (of a command, or of reading the log), by container id.
    CommandLedger<QString, ContainerSource::Command> m_commands;
    DockerNews m_news;
    CancelHandle m_loopEnd;
    // The container whose log is open, its text and whether it is being read.
    QString m_logContainer;
    QString m_logText;
    bool m_logLoading = false;
    DockerWatch m_watch;
};

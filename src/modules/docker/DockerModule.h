#pragma once

#include "core/DevModule.h"
#include "core/PollLoop.h"
#include "core/Scheduler.h"
#include "modules/docker/ContainerSource.h"

#include <QHash>
#include <QSet>

#include <functional>
#include <memory>
#include <optional>

// The module for the local Docker engine: while started it reads the container list every
// 15 seconds (counted from the end of a poll) and sums it up as "N von M Containern laufen".
// Its settings lines start and stop containers at the user's press.
//
// The app creates it as
//     DockerModule(scheduler, std::make_unique<DockerClient>(processRunner))
// with the production scheduler and process runner.
class DockerModule final : public DevModule {
    Q_OBJECT
public:
    static constexpr double pollInterval = 15;

    DockerModule(Scheduler &scheduler, std::unique_ptr<ContainerSource> source, QObject *parent = nullptr);

    QString id() const override { return QStringLiteral("docker"); }
    QString title() const override { return QStringLiteral("Docker"); }
    QString symbol() const override { return QStringLiteral("shippingbox"); }
    QString description() const override { return tr("Container mit Status. Start und Stop per Klick."); }
    std::optional<ModuleStatus> compactStatus() const override;
    // Starts polling at once; a loop already running ends (a poll it has under way still lands).
    void start() override;
    // Ends polling; the list and the error text stay. A poll under way still lands.
    void stop() override;

    // One poll; `finished` runs once its result is stored (or dropped for being older than one
    // already stored).
    void refresh(std::function<void()> finished = {});

    // The last list read, in the engine's order.
    const DockerContainerList &containers() const { return m_containers; }
    // The German message of the last failed poll; empty after a successful one.
    std::optional<QString> errorText() const override { return m_errorText; }

    // The status line over the names of up to three running containers, or the error text.
    QList<ModuleRow> overlayRows() const override;
    // Every container with a command that starts or stops it.
    QList<ModuleDetail> details() const override;

    // Starts or stops a container, then reads the list again at once. A second call for a
    // container whose command is under way does nothing; a refusal is kept beside it.
    void setRunning(const QString &containerId, bool running);

    // A container's first name without the engine's leading slash (its short id when unnamed).
    static QString displayName(const DockerContainer &container);

private:
    void store(quint64 pollNumber, const ContainerSource::Result &result);
    void setContainers(DockerContainerList containers);

    std::unique_ptr<ContainerSource> m_source;
    DockerContainerList m_containers;
    std::optional<QString> m_errorText;
    // Polls are numbered as they start; a result older than the one stored is dropped.
    quint64 m_pollsStarted = 0;
    quint64 m_pollStored = 0;
    // Container ids with a start or stop under way, and the last refusal per container.
    QSet<QString> m_underWay;
    QHash<QString, QString> m_refusals;
    PollLoop m_loop;
};

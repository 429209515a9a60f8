#pragma once

#include "core/DevModule.h"
#include "core/Scheduler.h"
#include "modules/docker/ContainerSource.h"

#include <functional>
#include <memory>
#include <optional>

// The module for the local Docker engine: while started it reads the container list every
// 15 seconds (counted from the end of a poll) and sums it up as "N von M Containern laufen".
// It only reads; it never starts or stops a container.
//
// The app creates it as
//     DockerModule(scheduler, std::make_unique<DockerClient>(processRunner))
// with the production scheduler and process runner.
class DockerModule final : public DevModule {
    Q_OBJECT
public:
    static constexpr double pollInterval = 15;

    DockerModule(Scheduler &scheduler, std::unique_ptr<ContainerSource> source, QObject *parent = nullptr);
    ~DockerModule() override;

    QString id() const override { return QStringLiteral("docker"); }
    QString title() const override { return QStringLiteral("Docker"); }
    QString symbol() const override { return QStringLiteral("shippingbox"); }
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

private:
    void poll(quint64 loop);
    void store(quint64 pollNumber, const ContainerSource::Result &result);
    void setContainers(DockerContainerList containers);
    void setErrorText(std::optional<QString> text);

    Scheduler &m_scheduler;
    std::unique_ptr<ContainerSource> m_source;
    DockerContainerList m_containers;
    std::optional<QString> m_errorText;
    // The current poll loop; stop() and start() move it on, so an older loop ends at its next check.
    quint64 m_loop = 0;
    ScheduledJob m_pause;
    // Polls are numbered as they start; a result older than the one stored is dropped.
    quint64 m_pollsStarted = 0;
    quint64 m_pollStored = 0;
};

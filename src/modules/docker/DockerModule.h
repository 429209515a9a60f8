#pragma once

#include "core/DevModule.h"
#include "core/EventBus.h"
#include "core/ListSuggestions.h"
#include "core/Scheduler.h"
#include "modules/docker/ContainerSource.h"
#include "modules/docker/DockerEngine.h"

#include <functional>
#include <memory>
#include <optional>
#include <vector>

class PreferenceStore;

// The module for Docker engines: the one the user's docker CLI uses ("Lokal"), and each context
// the user adds in its pane, by name (see DockerEngine for what it does with each). One engine
// shows as it always did; with several, every overlay row and pane heading leads with the
// engine's name ("build-box: 3 von 4 laufen").
//
// The app creates it as
//     DockerModule(scheduler, bus, preferences, contexts, source)
// with the production scheduler, a DockerClient per engine and the contexts the CLI knows.
class DockerModule final : public DevModule {
    Q_OBJECT
public:
    static inline const QString moduleId = QStringLiteral("docker");
    // A container that ended without being asked to (a non-zero exit, out of memory, unhealthy):
    // its kind of news, with its switch.
    static inline const QString unexpectedExit = QStringLiteral("docker.unexpectedExit");
    // The contexts added in the pane, by name.
    static constexpr auto enginesKey = "docker.engines";
    static constexpr int maximumEngines = 8;
    static constexpr double pollInterval = DockerWatch::pollInterval;

    // The source of the engine of a context, by its name; empty for the one the CLI uses now.
    using SourceFor = std::function<std::unique_ptr<ContainerSource>(const QString &context)>;

    // Watches the local engine only.
    DockerModule(
        Scheduler &scheduler, EventBus &bus, std::unique_ptr<ContainerSource> source, QObject *parent = nullptr);
    // Watches the local engine and the contexts listed under enginesKey, following the list;
    // `contexts` offers the names the CLI knows (the preferences and it must outlive the module).
    DockerModule(Scheduler &scheduler, EventBus &bus, PreferenceStore &preferences, ListSuggestions &contexts,
        SourceFor sourceFor, QObject *parent = nullptr);
    ~DockerModule() override;

    QString id() const override { return moduleId; }
    QString title() const override { return QStringLiteral("Docker"); }
    QString symbol() const override { return QStringLiteral("shippingbox"); }
    QString description() const override;
    // Over all engines that answer; with one engine, its own.
    std::optional<ModuleStatus> compactStatus() const override;
    void start() override;
    void stop() override;
    // The local engine's error; with several engines, only while none answers.
    std::optional<QString> errorText() const override;
    QList<ModuleRow> overlayRows() const override;
    QList<ModuleDetail> details() const override;
    std::optional<ModuleListSetting> listSetting() const override;
    QList<ModuleNewsKind> newsKinds() const override;
    // Of the last list read: the running containers and those that ended badly or are unhealthy.
    ModuleCounts counts() const override;

    // The engines watched, the local one first.
    const std::vector<std::unique_ptr<DockerEngine>> &engines() const { return m_engines; }
    DockerEngine &local() const { return *m_engines.front(); }
    // The local engine's.
    void refresh(std::function<void(bool answered)> finished = {}) { local().refresh(std::move(finished)); }
    const DockerContainerList &containers() const { return local().containers(); }
    void send(const QStringList &containerIds, ContainerSource::Command command)
    {
        local().send(containerIds, command);
    }

    // A container's first name without the engine's leading slash (its short id when unnamed).
    static QString displayName(const DockerContainer &container);

private:
    void addEngine(const QString &context, std::unique_ptr<ContainerSource> source);
    // Makes the engines match the list in the preferences: kept ones go on, new ones start.
    void follow();
    QStringList contexts() const;

    Scheduler &m_scheduler;
    EventBus &m_bus;
    PreferenceStore *m_preferences = nullptr;
    ListSuggestions *m_contexts = nullptr;
    SourceFor m_sourceFor;
    bool m_running = false;
    std::vector<std::unique_ptr<DockerEngine>> m_engines;
};

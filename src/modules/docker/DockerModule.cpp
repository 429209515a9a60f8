#include "modules/docker/DockerModule.h"

#include "core/prefs/PreferenceStore.h"
#include "integrations/docker/DockerCliConfig.h"

#include <algorithm>

DockerModule::DockerModule(
    Scheduler &scheduler, EventBus &bus, std::unique_ptr<ContainerSource> source, QObject *parent)
    : DevModule(parent)
    , m_scheduler(scheduler)
    , m_bus(bus)
{
    addEngine(QString(), std::move(source));
}

DockerModule::DockerModule(Scheduler &scheduler, EventBus &bus, PreferenceStore &preferences, ListSuggestions &contexts,
    SourceFor sourceFor, QObject *parent)
    : DevModule(parent)
    , m_scheduler(scheduler)
    , m_bus(bus)
    , m_preferences(&preferences)
    , m_contexts(&contexts)
    , m_sourceFor(std::move(sourceFor))
{
    addEngine(QString(), m_sourceFor(QString()));
    follow();
    connect(&preferences, &PreferenceStore::valueChanged, this, [this](const QString &key) {
        if (key == QLatin1String(enginesKey))
            follow();
    });
}

DockerModule::~DockerModule() = default;

QString DockerModule::description() const
{
    return tr("Container mit Status, Compose-Projekte gruppiert. Start, Stop, Neustart und Protokoll per Klick.");
}

void DockerModule::addEngine(const QString &context, std::unique_ptr<ContainerSource> source)
{
    auto engine = std::make_unique<DockerEngine>(m_scheduler, m_bus, context, std::move(source));
    connect(engine.get(), &DockerEngine::changed, this, &DevModule::changed);
    if (m_running)
        engine->start();
    m_engines.push_back(std::move(engine));
}

QStringList DockerModule::contexts() const
{
    return m_preferences ? listSetting()->used(*m_preferences) : QStringList();
}

void DockerModule::follow()
{
    const QStringList wanted = contexts();
    const auto gone = std::remove_if(
        m_engines.begin() + 1, m_engines.end(), [&](const auto &engine) { return !wanted.contains(engine->name()); });
    const bool removed = gone != m_engines.end();
    m_engines.erase(gone, m_engines.end());
    for (const QString &context : wanted) {
        if (std::none_of(m_engines.cbegin(), m_engines.cend(), [&](const auto &e) { return e->name() == context; }))
            addEngine(context, m_sourceFor(context));
    }
    // Kept in the order of the list, the local engine first.
    std::stable_sort(m_engines.begin() + 1, m_engines.end(),
        [&](const auto &a, const auto &b) { return wanted.indexOf(a->name()) < wanted.indexOf(b->name()); });
    if (removed || !wanted.isEmpty())
        Q_EMIT changed();
}

void DockerModule::start()
{
    m_running = true;
    for (const auto &engine : m_engines)
        engine->start();
}

void DockerModule::stop()
{
    m_running = false;
    for (const auto &engine : m_engines)
        engine->stop();
}

std::optional<ModuleStatus> DockerModule::compactStatus() const
{
    if (m_engines.size() == 1)
        return local().compactStatus();
    int running = 0;
    int total = 0;
    for (const auto &engine : m_engines) {
        if (engine->errorText())
            continue;
        for (const DockerContainer &container : engine->containers()) {
            ++total;
            running += container.state == u"running" ? 1 : 0;
        }
    }
    if (total == 0)
        return std::nullopt;
    return ModuleStatus { tr("%1 von %n Containern laufen", nullptr, total).arg(running),
        running > 0 ? ModuleStatus::Severity::Fine : ModuleStatus::Severity::Idle };
}

ModuleCounts DockerModule::counts() const
{
    ModuleCounts counts;
    for (const auto &engine : m_engines)
        counts += engine->counts();
    return counts;
}

std::optional<QString> DockerModule::errorText() const
{
    const bool allFail
        = std::all_of(m_engines.cbegin(), m_engines.cend(), [](const auto &e) { return e->errorText(); });
    return allFail ? local().errorText() : std::nullopt;
}

QList<ModuleRow> DockerModule::overlayRows() const
{
    QList<ModuleRow> rows;
    for (const auto &engine : m_engines)
        rows += engine->overlayRows(id(), m_engines.size() > 1);
    return rows;
}

QList<ModuleDetail> DockerModule::details() const
{
    QList<ModuleDetail> details;
    for (const auto &engine : m_engines)
        details += engine->details(m_engines.size() > 1);
    return details;
}

std::optional<ModuleListSetting> DockerModule::listSetting() const
{
    if (!m_preferences)
        return std::nullopt;
    ModuleListSetting setting { QString::fromLatin1(enginesKey), tr("Weitere Engines (Docker-Kontexte)"),
        tr("Kontext hinzufügen"), maximumEngines, [](const QString &input) -> ModuleListSetting::Normalized {
            const QString name = input.trimmed();
            if (!DockerCliConfig::isContextName(name) || name == QLatin1String(DockerCliConfig::defaultContext))
                return ModuleListSetting::Refusal { tr("Kein Name eines Docker-Kontexts") };
            return name;
        } };
    setting.suggestions = m_contexts;
    return setting;
}

QList<ModuleNewsKind> DockerModule::newsKinds() const
{
    return { { unexpectedExit, tr("Container unerwartet beendet") } };
}

QString DockerModule::displayName(const DockerContainer &container)
{
    if (container.names.isEmpty())
        return container.id.left(12);
    const QString &name = container.names.first();
    return name.startsWith(u'/') ? name.mid(1) : name;
}

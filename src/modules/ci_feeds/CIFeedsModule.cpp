#include "modules/ci_feeds/CIFeedsModule.h"

#include "core/EventBus.h"

#include <algorithm>

namespace {

using Severity = ModuleStatus::Severity;

Severity severityOf(const CCTrayProject &project)
{
    if (project.building)
        return Severity::Active;
    switch (project.status) {
    case CCTrayProject::Status::Success:
        return Severity::Fine;
    case CCTrayProject::Status::Failure:
    case CCTrayProject::Status::Exception:
        return Severity::Failing;
    case CCTrayProject::Status::Unknown:
        break;
    }
    return Severity::Idle;
}

QString stateWord(const CCTrayProject &project)
{
    if (project.building)
        return CIFeedsModule::tr("läuft");
    switch (project.status) {
    case CCTrayProject::Status::Success:
        return CIFeedsModule::tr("erfolgreich");
    case CCTrayProject::Status::Failure:
        return CIFeedsModule::tr("fehlgeschlagen");
    case CCTrayProject::Status::Exception:
        return CIFeedsModule::tr("abgebrochen mit Fehler");
    case CCTrayProject::Status::Unknown:
        break;
    }
    return CIFeedsModule::tr("unbekannt");
}

ModuleRow projectRow(const CCTrayProject &project)
{
    QStringList detail;
    if (!project.label.isEmpty())
        detail.append(project.label);
    detail.append(stateWord(project));
    return ModuleRow { project.name, detail.join(QStringLiteral(" \u00B7 ")), project.lastBuildTime,
        severityOf(project), project.webUrl };
}

const CCTrayProject *find(const QList<CCTrayProject> &projects, const QString &name)
{
    const auto found = std::find_if(
        projects.cbegin(), projects.cend(), [&](const CCTrayProject &project) { return project.name == name; });
    return found == projects.cend() ? nullptr : &*found;
}

} // namespace

CIFeedsModule::CIFeedsModule(EventBus &bus, CCTrayFeeds &feeds, QString feedsPane, QObject *parent)
    : DevModule(parent)
    , m_bus(bus)
    , m_feeds(feeds)
    , m_feedsPane(std::move(feedsPane))
{
    connect(&m_feeds, &CCTrayFeeds::changed, this, &DevModule::changed);
    connect(&m_feeds, &CCTrayFeeds::answered, this, &CIFeedsModule::announce);
}

QString CIFeedsModule::description() const
{
    return tr("Projekte deiner CI-Server aus ihren cctray-Feeds (Jenkins, GoCD, Buildkite, CircleCI, TeamCity …). "
              "Feeds und Projekte wählst du im Bereich „CI-Server“.");
}

QList<ModuleRow> CIFeedsModule::rowsOf(const CCTrayFeeds::Feed &feed) const
{
    const QString where = feed.address.hostAndPath();
    if (feed.watched.isEmpty())
        return { ModuleRow { where, tr("Kein Projekt gewählt"), std::nullopt, Severity::Idle, QUrl(), m_feedsPane } };
    QList<ModuleRow> rows;
    for (const QString &name : feed.watched) {
        const CCTrayProject *project = find(feed.projects, name);
        ModuleRow row = project ? projectRow(*project) : ModuleRow { name, {}, std::nullopt, Severity::Idle, QUrl() };
        if (feed.problem) {
            row = ModuleRow { name, *feed.problem, std::nullopt, Severity::Idle, row.link };
        } else if (!project) {
            row.detail = feed.answered ? tr("Nicht mehr im Feed") : tr("Lädt …");
        }
        // What the pane can mend: a feed that cannot be read, a project it no longer lists.
        if (row.link.isEmpty() && (feed.problem || feed.answered))
            row.pane = m_feedsPane;
        rows.append(row);
    }
    return rows;
}

QList<ModuleRow> CIFeedsModule::overlayRows() const
{
    QList<ModuleRow> rows;
    for (const CCTrayFeeds::Feed &feed : m_feeds.feeds())
        rows.append(rowsOf(feed));
    return rows;
}

QList<ModuleDetail> CIFeedsModule::details() const
{
    QList<ModuleDetail> details;
    for (const CCTrayFeeds::Feed &feed : m_feeds.feeds()) {
        const QString group = feed.address.hostAndPath();
        if (feed.problem)
            details.append(ModuleDetail {
                group, ModuleRow { group, *feed.problem, std::nullopt, Severity::Idle, QUrl(), m_feedsPane }, {}, {} });
        for (const ModuleRow &row : rowsOf(feed))
            details.append(ModuleDetail { group, row, {}, {} });
    }
    return details;
}

ModuleCounts CIFeedsModule::counts() const
{
    ModuleCounts counts;
    for (const CCTrayFeeds::Feed &feed : m_feeds.feeds()) {
        for (const QString &name : feed.watched) {
            const CCTrayProject *project = find(feed.projects, name);
            if (project && severityOf(*project) == ModuleStatus::Severity::Failing)
                ++counts.failedRuns;
            else if (project && severityOf(*project) == ModuleStatus::Severity::Active)
                ++counts.activeRuns;
        }
    }
    return counts;
}

std::optional<ModuleStatus> CIFeedsModule::compactStatus() const
{
    const CCTrayProject *shown = nullptr;
    for (const CCTrayFeeds::Feed &feed : m_feeds.feeds()) {
        for (const QString &name : feed.watched) {
            const CCTrayProject *project = find(feed.projects, name);
            // The first of the most pressing: failing, then under way, then passed.
            if (project && (!shown || severityOf(*project) > severityOf(*shown)))
                shown = project;
        }
    }
    if (!shown)
        return std::nullopt;
    QStringList text { shown->name };
    if (!shown->label.isEmpty())
        text.append(shown->label);
    return ModuleStatus { text.join(QStringLiteral(" \u00B7 ")), severityOf(*shown) };
}

std::optional<QString> CIFeedsModule::errorText() const
{
    QList<CCTrayFeeds::Feed> failing;
    const QList<CCTrayFeeds::Feed> feeds = m_feeds.feeds();
    for (const CCTrayFeeds::Feed &feed : feeds) {
        if (feed.problem)
            failing.append(feed);
    }
    if (failing.isEmpty())
        return std::nullopt;
    // One text for all when they agree (a locked keyring); otherwise the first feed's, named.
    const bool allAlike = failing.size() == feeds.size()
        && std::all_of(failing.cbegin(), failing.cend(),
            [&](const CCTrayFeeds::Feed &feed) { return feed.problem == failing.first().problem; });
    if (allAlike && feeds.size() > 1)
        return failing.first().problem;
    return failing.first().address.hostAndPath() + QStringLiteral(": ") + *failing.first().problem;
}

QList<ModuleNewsKind> CIFeedsModule::newsKinds() const
{
    return { { buildFailed, tr("Build fehlgeschlagen") }, { buildFixed, tr("Build wieder erfolgreich") } };
}

void CIFeedsModule::announce(const QString &address, const QList<CCTrayProject> &before, bool first)
{
    // The first answer shows what was there already: only later changes are news.
    if (first)
        return;
    for (const CCTrayFeeds::Feed &feed : m_feeds.feeds()) {
        if (feed.address.text() != address)
            continue;
        for (const QString &name : feed.watched) {
            const CCTrayProject *was = find(before, name);
            const CCTrayProject *now = find(feed.projects, name);
            if (!was || !now)
                continue;
            if (!was->failed() && now->failed())
                m_bus.publish(ModuleEvent {
                    id(), tr("Build fehlgeschlagen: %1").arg(name), Severity::Failing, buildFailed, now->webUrl });
            else if (was->failed() && now->status == CCTrayProject::Status::Success)
                m_bus.publish(ModuleEvent {
                    id(), tr("Build wieder erfolgreich: %1").arg(name), Severity::Fine, buildFixed, now->webUrl });
        }
    }
}

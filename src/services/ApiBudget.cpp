#include "services/ApiBudget.h"

#include "core/Scheduler.h"
#include "services/ApiCredentials.h"
#include "services/ApiResponse.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <limits>
#include <utility>

namespace {

constexpr double secondsPerHour = 3600;
constexpr double unbounded = std::numeric_limits<double>::infinity();

// A count the service sends in a header; none when it is missing or no count.
std::optional<qint64> countIn(const ApiResponse &answer, const QByteArray &name)
{
    const std::optional<qint64> count = answer.number(name);
    return count && *count >= 0 ? count : std::nullopt;
}

// The count under the first name that holds one, or under the other.
std::optional<qint64> countIn(const ApiResponse &answer, const QByteArray &name, const QByteArray &otherName)
{
    const std::optional<qint64> count = countIn(answer, name);
    return count ? count : countIn(answer, otherName);
}

} // namespace

ApiBudget::Share::Share(ApiBudget *budget)
    : m_budget(budget)
{
    if (m_budget)
        m_budget->m_shares.append(this);
}

ApiBudget::Share::~Share()
{
    if (m_budget)
        m_budget->m_shares.removeOne(this);
}

double ApiBudget::Share::pauseAfter(double wanted, bool counted, bool active)
{
    if (!std::exchange(m_first, false)) {
        m_recent = quint8((m_recent << 1) | (counted ? 1 : 0));
        m_seen = std::min(m_seen + 1, 8);
    }
    m_wanted = wanted;
    m_active = active;
    m_polling = true;
    // A loop whose recent answers cost nothing gains nothing by waiting longer.
    if (!m_budget || countedShare() == 0)
        return wanted;
    return stretched(wanted, m_budget->factor(active));
}

double ApiBudget::Share::countedShare() const
{
    return m_seen == 0 ? 0.0 : std::popcount(m_recent) / double(m_seen);
}

double ApiBudget::Share::hourlyCost(double pause) const
{
    return countedShare() * (secondsPerHour / std::max(pause, 1.0) + 1);
}

ApiBudget::ApiBudget(ApiCredentials &credentials, Scheduler &scheduler, double window, QObject *parent)
    : QObject(parent)
    , m_credentials(credentials)
    , m_tokenGeneration(credentials.tokenGeneration())
    , m_scheduler(scheduler)
    , m_window(std::max(window, 1.0))
{
    credentials.setBudget(this);
    connect(&credentials, &ApiCredentials::changed, this, &ApiBudget::followCredentials);
}

ApiBudget::~ApiBudget()
{
    for (Share *share : std::as_const(m_shares))
        share->m_budget = nullptr;
}

void ApiBudget::take(const ApiResponse &answer)
{
    // A refused token's answer speaks of the address's anonymous limit, not of the account.
    if (answer.status == 401)
        return;
    const std::optional<qint64> limit = countIn(answer, "x-ratelimit-limit", "ratelimit-limit");
    std::optional<qint64> remaining = countIn(answer, "x-ratelimit-remaining", "ratelimit-remaining");
    const std::optional<qint64> used = countIn(answer, "x-ratelimit-used", "ratelimit-observed");
    if (limit && !remaining && used)
        remaining = std::max<qint64>(*limit - *used, 0);
    bool moved = false;
    if (limit && limit != m_limit) {
        m_limit = limit;
        moved = true;
    }
    if (remaining && remaining != m_remaining) {
        m_remaining = remaining;
        moved = true;
    }
    if (answer.status != 304) {
        const qint64 number = currentMinute();
        Minute &minute = m_minutes[std::size_t(number % qint64(m_minutes.size()))];
        if (minute.number != number)
            minute = Minute { number, 0 };
        ++minute.answers;
        moved = true;
    }
    if (moved)
        Q_EMIT changed();
}

int ApiBudget::answersLastHour() const
{
    const qint64 now = currentMinute();
    int answers = 0;
    for (const Minute &minute : m_minutes) {
        if (minute.number > now - qint64(m_minutes.size()))
            answers += minute.answers;
    }
    return answers;
}

qint64 ApiBudget::currentMinute() const
{
    return qint64(std::floor(std::max(m_scheduler.now(), 0.0) / 60));
}

double ApiBudget::stretched(double wanted, double factor)
{
    return std::max(wanted, std::min(wanted * factor, longestPause));
}

double ApiBudget::groupCost(bool active, double factor) const
{
    double cost = 0;
    for (const Share *share : m_shares) {
        if (share->m_polling && share->m_active == active)
            cost += share->hourlyCost(stretched(share->m_wanted, factor));
    }
    return cost;
}

double ApiBudget::factor(bool active) const
{
    if (!m_limit)
        return 1; // no answer has told the limit yet
    const double room = double(*m_limit) * (secondsPerHour / m_window) * shareOfLimit * aimedPart;
    const double activeCost = groupCost(true, 1);
    if (activeCost + groupCost(false, 1) <= room)
        return 1;
    // The idle loops yield first, as far as the longest pause; the active ones only after them.
    const double idleAtLongest = groupCost(false, unbounded);
    if (activeCost + idleAtLongest <= room)
        return active ? 1 : fittingFactor(false, room - activeCost);
    return active ? fittingFactor(true, room - idleAtLongest) : unbounded;
}

double ApiBudget::fittingFactor(bool active, double room) const
{
    // The loops whose stretched pause reaches the longest cost a fixed amount; the others share
    // what is left. Each round can only add loops to the first kind, so it ends.
    double factor = 1;
    for (;;) {
        double fixed = 0;
        double perFactor = 0; // the part of the others' cost that the factor divides
        for (const Share *share : m_shares) {
            if (!share->m_polling || share->m_active != active)
                continue;
            if (share->m_wanted * factor >= longestPause) {
                fixed += share->hourlyCost(stretched(share->m_wanted, unbounded));
            } else {
                fixed += share->countedShare();
                perFactor += share->countedShare() * secondsPerHour / std::max(share->m_wanted, 1.0);
            }
        }
        if (fixed >= room)
            return unbounded;
        const double next = perFactor / (room - fixed);
        if (next <= factor)
            return factor;
        factor = next;
    }
}

void ApiBudget::followCredentials()
{
    if (m_credentials.tokenGeneration() == std::exchange(m_tokenGeneration, m_credentials.tokenGeneration()))
        return;
    if (!m_limit && !m_remaining)
        return;
    m_limit.reset();
    m_remaining.reset();
    Q_EMIT changed();
}

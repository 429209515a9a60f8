#pragma once

#include <QList>
#include <QObject>
#include <QPointer>

#include <array>
#include <optional>

class ApiCredentials;
class Scheduler;
struct ApiResponse;

// An account's rate limit on a service's API as Tarnlet spends it. The limit is shared with the
// user's other tools, so Tarnlet keeps to a quarter of it. Every authenticated answer tells the
// budget what the service says of the limit and counts towards Tarnlet's use over the last hour, except a 304, which
// costs nothing. Every poll loop on the account takes its pause from here: while the loops' pace
// would spend more than the quarter, the idle loops stretch their pauses first (up to ten minutes),
// then the active ones, each group by one common factor. A pause is never shortened.
class ApiBudget final : public QObject {
    Q_OBJECT
public:
    // Tarnlet's part of the hourly limit.
    static constexpr double shareOfLimit = 0.25;
    // The pauses aim a little below it: a loop's estimate starts from its second answer, so in the
    // first hour the loops spend a few answers more than their pace says.
    static constexpr double aimedPart = 0.96;
    // No pause is stretched beyond this.
    static constexpr double longestPause = 600;

    // One poll loop's part of the budget: its pace and what its recent answers cost. Counts among
    // the budget's loops while it lives; without a budget, every pause stays as wanted.
    class Share final {
    public:
        explicit Share(ApiBudget *budget);
        ~Share();
        Share(const Share &) = delete;
        Share &operator=(const Share &) = delete;

        // The pause to take after an answer. `wanted` is the module's own (or the service's), `counted`
        // says whether the answer cost part of the limit, `active` whether the loop follows
        // something under way. Never shorter than `wanted`.
        double pauseAfter(double wanted, bool counted, bool active);
        // The loop stopped: it spends nothing until its next answer.
        void rest() { m_polling = false; }

    private:
        friend class ApiBudget;
        // The share of its last eight answers (after the first) that counted; none before them.
        double countedShare() const;
        // Answers that count in any hour at `pause`: as many as the hour holds pauses, and one
        // more, taken by the share that counted.
        double hourlyCost(double pause) const;

        QPointer<ApiBudget> m_budget;
        quint8 m_recent = 0; // a bit per answer that counted, the newest lowest
        int m_seen = 0; // answers in m_recent, at most eight
        bool m_first = true; // a loop's first answer has nothing to compare with: it always counts
        double m_wanted = 0;
        bool m_active = false;
        bool m_polling = false;
    };

    // Becomes the budget of `credentials`: every transport on them reports to it, and every poll
    // loop made on them from now on takes its pause from it. `window` is the time in seconds the
    // service's limit counts over (an hour for GitHub, a minute for GitLab).
    ApiBudget(ApiCredentials &credentials, Scheduler &scheduler, double window = 3600, QObject *parent = nullptr);
    ~ApiBudget() override;

    // Takes what an authenticated answer says of the limit and what it cost; an answer 401 is none
    // of the account's. The limit is read in either common form: x-ratelimit-limit, -remaining and
    // -used, or ratelimit-limit, -remaining and -observed.
    void take(const ApiResponse &answer);

    // As the last answer that told them said (for the service's window); none until then, and again
    // once the token changes.
    std::optional<qint64> limit() const { return m_limit; }
    std::optional<qint64> remaining() const { return m_remaining; }
    // Tarnlet's answers that counted over the last hour, in one-minute steps.
    int answersLastHour() const;

Q_SIGNALS:
    // After an answer changed the numbers above.
    void changed();

private:
    struct Minute {
        qint64 number = -1;
        int answers = 0;
    };

    qint64 currentMinute() const;
    // The factor the pauses of the active or idle loops are stretched by, infinite when they all
    // take the longest pause.
    double factor(bool active) const;
    // Answers per hour of the loops of one group with their pauses stretched by `factor`.
    double groupCost(bool active, double factor) const;
    // The smallest factor, at least 1, that keeps a group within `room` answers an hour.
    double fittingFactor(bool active, double room) const;
    static double stretched(double wanted, double factor);
    // A new token may be another account's: its numbers come with its first answer.
    void followCredentials();

    const ApiCredentials &m_credentials;
    quint64 m_tokenGeneration;
    Scheduler &m_scheduler;
    const double m_window;
    QList<Share *> m_shares;
    std::array<Minute, 60> m_minutes; // a ring of the last hour's minutes
    std::optional<qint64> m_limit;
    std::optional<qint64> m_remaining;
};

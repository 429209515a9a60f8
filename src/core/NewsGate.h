#pragma once

#include "core/CancelHandle.h"
#include "core/ModuleEvent.h"
#include "core/NewsHistory.h"

#include <QDateTime>
#include <QObject>

#include <optional>

class EventBus;
class ModuleRegistry;
class PreferenceStore;
class Scheduler;

// The one place that decides whether a piece of news from the modules interrupts the user. It is
// announced when the user lets news of its kind interrupt (the kinds the modules declare have a
// switch each; other news always may) and news is not paused; it
// also opens the overlay when the user lets events do that ("notch.autoExpandOnEvents", a switch
// of the overlay alone, which the desktop's notifications do not follow). The pause lasts an
// hour, until the next morning at 08:00 or until the user resumes; it is kept in the preferences
// ("notifications.pausedUntil") so it survives a restart. Its end is a moment on the wall clock,
// compared with the wall clock at every question, so a computer that slept through it finds the
// pause over. The desktop's own Do Not Disturb, as src/app reports it, pauses news the same way
// while the user lets it ("notifications.followDoNotDisturb"), and ends with it. Every piece of
// news is recorded in the session's history, whether it interrupted or not.
class NewsGate final : public QObject {
    Q_OBJECT
public:
    static constexpr auto pausedUntilKey = "notifications.pausedUntil";
    static constexpr int morningHour = 8;

    // The references must outlive the gate; it subscribes to the bus at once.
    NewsGate(EventBus &bus, const ModuleRegistry &registry, PreferenceStore &preferences, Scheduler &scheduler,
        QObject *parent = nullptr);
    ~NewsGate() override;

    const NewsHistory &history() const { return m_history; }

    // Paused by the user or by the desktop's Do Not Disturb: news interrupts nobody.
    bool isPaused() const { return isPausedByUser() || isQuietForDesktop(); }
    // The user's own pause, from the menu.
    bool isPausedByUser() const;
    // The desktop is in Do Not Disturb and the user lets that pause news.
    bool isQuietForDesktop() const;
    // The desktop's Do Not Disturb went on or off.
    void setDesktopDoNotDisturb(bool on);
    // The user's pause's end in local time while paused; none while it lasts until resumed.
    std::optional<QDateTime> pauseEnd() const;
    // The pause menu's three choices.
    enum class PauseLength { Hour, UntilMorning, UntilResumed };
    void pause(PauseLength length);
    void pauseUntil(const QDateTime &end);
    void pauseUntilResumed();
    void resume();

    // The first 08:00 local time after `now`.
    static QDateTime nextMorning(const QDateTime &now);

Q_SIGNALS:
    // News that interrupts somewhere: the desktop's notifications show it when the user asks so.
    void announced(const ModuleEvent &event);
    // Announced news that may open the overlay: it flashes it.
    void interrupting(const ModuleEvent &event);
    // After a pause (the user's or the desktop's) began or ended.
    void pauseChanged();

private:
    bool announces(const ModuleEvent &event) const;
    void followPause();

    const ModuleRegistry &m_registry;
    PreferenceStore &m_preferences;
    Scheduler &m_scheduler;
    CancelHandle m_pauseEnd;
    NewsHistory m_history;
    bool m_desktopDoNotDisturb = false;
};

#pragma once

#include "app/StatusSnapshot.h"

#include <QDBusConnection>
#include <QDBusContext>
#include <QObject>

class AppDelegate;

// The running program on the session bus, the way desktop programs expose themselves: the name
// com.tarnlet.Tarnlet with one object and one interface, introspectable. Its methods open, pin
// and close the overlay, show the settings window (or one pane), and pause news with the pause
// menu's three lengths or resume it; its read-only properties are the snapshot the tray shows,
// with PropertiesChanged sent for those that changed. `tarnlet --toggle` and the other commands
// of a second launch call it (RemoteCommand).
class BusService final : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "com.tarnlet.Tarnlet")
    // The names match StatusSnapshot::toProperties().
    Q_PROPERTY(QString StatusLine READ statusLine)
    Q_PROPERTY(QString Tooltip READ tooltip)
    Q_PROPERTY(QString Severity READ severity)
    Q_PROPERTY(bool Paused READ paused)
    Q_PROPERTY(int FailedRuns READ failedRuns)
    Q_PROPERTY(int ActiveRuns READ activeRuns)
    Q_PROPERTY(int NewsForYou READ newsForYou)
    Q_PROPERTY(int ContainersRunning READ containersRunning)
    Q_PROPERTY(int ContainersFailed READ containersFailed)
public:
    static constexpr auto serviceName = "com.tarnlet.Tarnlet";
    static constexpr auto objectPath = "/com/tarnlet/Tarnlet";
    static constexpr auto interfaceName = "com.tarnlet.Tarnlet";

    // `app` must have run its launch sequence and outlive the service.
    BusService(AppDelegate &app, QDBusConnection connection, QObject *parent = nullptr);
    ~BusService() override;

    // Puts the object on the bus and takes the name; false when the bus is missing or another
    // program (a Tarnlet on another display of the same session bus) holds the name.
    bool publish();

    QString statusLine() const { return m_shown.text; }
    QString tooltip() const { return m_shown.tooltip; }
    QString severity() const { return StatusSnapshot::severityName(m_shown.severity); }
    bool paused() const { return m_shown.paused; }
    int failedRuns() const { return m_shown.counts.failedRuns; }
    int activeRuns() const { return m_shown.counts.activeRuns; }
    int newsForYou() const { return m_shown.counts.newsForYou; }
    int containersRunning() const { return m_shown.counts.containersRunning; }
    int containersFailed() const { return m_shown.counts.containersFailed; }

public Q_SLOTS:
    // Opens the overlay as hovering does: it closes once the pointer moves away.
    Q_SCRIPTABLE void Open();
    // Opens the overlay and pins it, as a click on it does.
    Q_SCRIPTABLE void Pin();
    Q_SCRIPTABLE void Close();
    // Closes the open overlay, or opens it pinned.
    Q_SCRIPTABLE void Toggle();
    // Shows the settings window, on the pane named `pane` unless it is empty; an unknown pane is an
    // error.
    Q_SCRIPTABLE void ShowSettings(const QString &pane);
    // "1h", "morning" (until 08:00) or "indefinitely" (until resumed); anything else is an error.
    Q_SCRIPTABLE void Pause(const QString &length);
    Q_SCRIPTABLE void Resume();

private:
    void follow();

    AppDelegate &m_app;
    QDBusConnection m_connection;
    StatusSnapshot m_shown; // as last announced
    bool m_published = false;
};

#pragma once

#include <QString>

class PreferenceStore;

// The frame's preference keys and their factory defaults (each module and integration keeps its
// own keys).
namespace AppPreferences {

inline const QString appearance = QStringLiteral("app.appearance");
// The interface language from the next start: languageSystem or a language of AppLanguage.
inline const QString language = QStringLiteral("app.language");
inline const QString languageSystem = QStringLiteral("system");
inline const QString showSettingsOnLaunch = QStringLiteral("app.showSettingsOnLaunch");
inline const QString hoverOpens = QStringLiteral("notch.hoverOpens");
// Seconds the pointer rests on the notch before it opens.
inline const QString hoverDelay = QStringLiteral("notch.hoverDelay");
inline const QString autoExpandOnEvents = QStringLiteral("notch.autoExpandOnEvents");
// Seconds a flash keeps the overlay open.
inline const QString flashDuration = QStringLiteral("notch.flashDuration");

// The seconds a duration is chosen from, on a grid of `step`.
struct SecondsRange {
    double minimum;
    double maximum;
    double step;
};
inline constexpr SecondsRange hoverDelayRange { 0.1, 1.0, 0.05 };
inline constexpr SecondsRange flashDurationRange { 1.0, 10.0, 0.5 };
// A duration as stored, held to its range (a file edited by hand may hold any number, or none):
// NaN and a value of the wrong type read as the shortest.
double seconds(const PreferenceStore &store, const QString &key, SecondsRange range);
// The overlay's screen: screenPrimary, screenWithPointer or the name of one screen.
inline const QString screen = QStringLiteral("notch.screen");
inline const QString hideBesideFullScreen = QStringLiteral("notch.hideBesideFullScreen");
// The key combination that opens and pins the overlay from anywhere, in QKeySequence's portable
// text ("Ctrl+Alt+T"); empty for none.
inline const QString globalShortcut = QStringLiteral("notch.globalShortcut");
// Points the overlay keeps below the top edge of its screen, for a bar the work area does not
// show (a Wayland bar seen from XWayland).
inline const QString topOffset = QStringLiteral("notch.topOffset");
inline constexpr double maximumTopOffset = 200;

// Whether news of a kind that has a switch (DevModule::newsKinds) may interrupt:
// "notifications.interrupt.<kind without its module>", such as notifications.interrupt.runFailed.
QString interruptKey(const QString &kind);
// Whether announced news is also sent to the desktop's notification service.
inline const QString desktopNotifications = QStringLiteral("notifications.desktop");
// Whether the desktop's own Do Not Disturb pauses news as the user's pause does.
inline const QString followDoNotDisturb = QStringLiteral("notifications.followDoNotDisturb");

inline const QString screenPrimary = QStringLiteral("primary");
inline const QString screenWithPointer = QStringLiteral("pointer");

// Registers the defaults as the store's in-memory registration layer.
void registerDefaults(PreferenceStore &store);

} // namespace AppPreferences

#include "core/prefs/AppPreferences.h"

#include "core/prefs/PreferenceStore.h"

#include <QStringList>
#include <QVariantMap>

#include <algorithm>
#include <cmath>

void AppPreferences::registerDefaults(PreferenceStore &store)
{
    const QVariantMap defaults {
        { appearance, QStringLiteral("system") },
        { language, languageSystem },
        { showSettingsOnLaunch, true },
        { hoverOpens, true },
        { hoverDelay, 0.25 },
        { autoExpandOnEvents, true },
        { flashDuration, 3.5 },
        { screen, screenPrimary },
        { hideBesideFullScreen, true },
        { desktopNotifications, false },
        { followDoNotDisturb, true },
        { globalShortcut, QString() },
        { topOffset, 0.0 },
    };
    store.registerDefaults(defaults);
}

QString AppPreferences::interruptKey(const QString &kind)
{
    return QStringLiteral("notifications.interrupt.") + kind.section(u'.', 1);
}

double AppPreferences::seconds(const PreferenceStore &store, const QString &key, SecondsRange range)
{
    const double stored = store.doubleValue(key);
    return std::isnan(stored) ? range.minimum : std::clamp(stored, range.minimum, range.maximum);
}

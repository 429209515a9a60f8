#include "core/prefs/AppPreferences.h"

#include "core/prefs/PreferenceStore.h"

#include <QStringList>
#include <QVariantMap>

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
    };
    store.registerDefaults(defaults);
}

QString AppPreferences::interruptKey(const QString &kind)
{
    return QStringLiteral("notifications.interrupt.") + kind.section(u'.', 1);
}

#include "app/DesktopHooks.h"

#include "core/NewsGate.h"
#include "core/prefs/AppPreferences.h"
#include "core/prefs/PreferenceStore.h"
#include "notch/NotchController.h"
#include "platform/DoNotDisturb.h"
#include "platform/GlobalShortcut.h"

#include <QKeySequence>

void DesktopHooks::followShortcut(GlobalShortcut &shortcut, PreferenceStore &preferences, NotchController &notch)
{
    const auto followKeys = [&shortcut, &preferences] {
        shortcut.setKeys(QKeySequence::fromString(
            preferences.stringValue(AppPreferences::globalShortcut), QKeySequence::PortableText));
    };
    followKeys();
    QObject::connect(&preferences, &PreferenceStore::valueChanged, &notch, [followKeys](const QString &key) {
        if (key == AppPreferences::globalShortcut)
            followKeys();
    });
    QObject::connect(&shortcut, &GlobalShortcut::activated, &notch, [&notch] { notch.open(true); });
}

void DesktopHooks::followDoNotDisturb(DoNotDisturb &doNotDisturb, NewsGate &news)
{
    const auto followQuiet = [&news, &doNotDisturb] { news.setDesktopDoNotDisturb(doNotDisturb.isOn()); };
    followQuiet();
    QObject::connect(&doNotDisturb, &DoNotDisturb::changed, &news, followQuiet);
}

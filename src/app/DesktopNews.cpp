#include "app/DesktopNews.h"

#include "core/LinkGate.h"
#include "core/ModuleRegistry.h"
#include "core/NewsGate.h"
#include "core/prefs/AppPreferences.h"
#include "core/prefs/PreferenceStore.h"
#include "platform/DesktopNotifier.h"

namespace {

DesktopNotifier::Urgency urgencyOf(ModuleStatus::Severity severity)
{
    switch (severity) {
    case ModuleStatus::Severity::Failing:
        return DesktopNotifier::Urgency::Critical;
    case ModuleStatus::Severity::Active:
    case ModuleStatus::Severity::Notice:
        return DesktopNotifier::Urgency::Normal;
    case ModuleStatus::Severity::Fine:
    case ModuleStatus::Severity::Idle:
        break;
    }
    return DesktopNotifier::Urgency::Low;
}

} // namespace

DesktopNews::DesktopNews(NewsGate &news, const ModuleRegistry &registry, PreferenceStore &preferences,
    DesktopNotifier &notifier, const LinkGate &links, QObject *parent)
    : QObject(parent)
{
    connect(&news, &NewsGate::announced, this, [&registry, &preferences, &notifier, &links](const ModuleEvent &event) {
        if (!preferences.boolValue(AppPreferences::desktopNotifications))
            return;
        const DevModule *module = registry.module(event.moduleID);
        notifier.notify({ module ? module->title() : QStringLiteral("Tarnlet"), event.text,
            links.mayOpen(event.link) ? event.link : QUrl(), urgencyOf(event.severity) });
    });
    connect(&notifier, &DesktopNotifier::activated, this, [&links](const QUrl &page) { links.open(page); });
}

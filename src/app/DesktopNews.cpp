#include "app/DesktopNews.h"

#include "core/GitHubPage.h"
#include "core/ModuleRegistry.h"
#include "core/NewsGate.h"
#include "core/prefs/AppPreferences.h"
#include "core/prefs/PreferenceStore.h"
#include "platform/DesktopNotifier.h"

DesktopNews::DesktopNews(NewsGate &news, const ModuleRegistry &registry, PreferenceStore &preferences,
    DesktopNotifier &notifier, QObject *parent)
    : QObject(parent)
{
    connect(&news, &NewsGate::announced, this, [&registry, &preferences, &notifier](const ModuleEvent &event) {
        if (!preferences.boolValue(AppPreferences::desktopNotifications))
            return;
        const DevModule *module = registry.module(event.moduleID);
        notifier.notify({ module ? module->title() : QStringLiteral("Tarnlet"), event.text,
            GitHubPage::isGitHubPage(event.link) ? event.link : QUrl() });
    });
    connect(&notifier, &DesktopNotifier::activated, this, [](const QUrl &page) { GitHubPage::open(page); });
}

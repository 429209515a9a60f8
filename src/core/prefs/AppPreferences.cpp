#include "core/prefs/AppPreferences.h"

#include "core/prefs/PreferenceStore.h"

#include <QStringList>
#include <QVariantMap>

void AppPreferences::registerDefaults(PreferenceStore &store)
{
    store.registerDefaults({
        { appearance, QStringLiteral("system") },
        { language, languageSystem },
        { showSettingsOnLaunch, true },
        { hoverOpens, true },
        { hoverDelay, 0.25 },
        { autoExpandOnEvents, true },
        { flashDuration, 3.5 },
        { gitHubRepositories, QStringList { tarnletRepository } },
        { screen, screenPrimary },
        { hideBesideFullScreen, true },
        { interruptOnReviewRequested, true },
        { interruptOnReviewOrComment, true },
        { interruptOnPullRequestMerged, true },
        { interruptOnRunFailed, true },
        { interruptOnRunFixed, true },
    });
}

#include "notch/NotchPlacement.h"

#include "core/prefs/AppPreferences.h"
#include "core/prefs/PreferenceStore.h"
#include "platform/PointerMonitor.h"
#include "platform/ScreenProvider.h"

#include <algorithm>
#include <cmath>

NotchPlacement::NotchPlacement(
    ScreenProvider &screens, const PointerMonitor &pointer, PreferenceStore &preferences, QObject *parent)
    : QObject(parent)
    , m_screens(screens)
    , m_pointer(pointer)
    , m_preferences(preferences)
{
    std::optional<ScreenInfo> screen
        = NotchGeometry::chosenScreen(screens, preferences.stringValue(AppPreferences::screen), pointer.position());
    if (!screen && !screens.screens().isEmpty())
        screen = screens.screens().constFirst();
    place(screen.value_or(ScreenInfo {}));

    connect(&screens, &ScreenProvider::screensChanged, this, &NotchPlacement::chooseScreen);
    connect(&screens, &ScreenProvider::activeFullScreenWindowChanged, this, &NotchPlacement::followFullScreen);
    connect(&preferences, &PreferenceStore::valueChanged, this, [this](const QString &key) {
        if (key == AppPreferences::screen || key == AppPreferences::topOffset)
            chooseScreen();
        else if (key == AppPreferences::hideBesideFullScreen)
            followFullScreen();
    });
    followFullScreen();
}

QRectF NotchPlacement::area(QPointF topCentre, QSizeF size)
{
    return QRectF(topCentre.x() - size.width() / 2, topCentre.y(), size.width(), size.height());
}

void NotchPlacement::chooseScreen()
{
    if (const std::optional<ScreenInfo> screen = NotchGeometry::chosenScreen(
            m_screens, m_preferences.stringValue(AppPreferences::screen), m_pointer.position())) {
        place(*screen);
        Q_EMIT moved();
    }
    followFullScreen();
}

void NotchPlacement::place(const ScreenInfo &screen)
{
    m_geometry = NotchGeometry::forScreen(screen);
    const double offset = m_preferences.doubleValue(AppPreferences::topOffset);
    m_geometry.topOffset = std::isnan(offset) ? 0 : std::clamp(offset, 0.0, AppPreferences::maximumTopOffset);
}

void NotchPlacement::followCollapse()
{
    if (!isHiddenBesideFullScreen()
        && m_preferences.stringValue(AppPreferences::screen) == AppPreferences::screenWithPointer)
        chooseScreen();
}

void NotchPlacement::followFullScreen()
{
    const std::optional<QRectF> window = m_screens.activeFullScreenWindow();
    const bool hide = window && NotchGeometry::contains(m_geometry.screen.frame, window->center())
        && m_preferences.boolValue(AppPreferences::hideBesideFullScreen);
    if (hide == m_hidden)
        return;
    m_hidden = hide;
    Q_EMIT hiddenChanged(hide);
}

#pragma once

#include "core/prefs/PreferenceStore.h"

#include <QObject>
#include <QString>

class SegmentedPicker;
class SteppedSlider;
class ToggleSwitch;

// Ties a control to one preference: the control shows the stored value (else the registered
// default), writes each change by the user at once, and follows the value when it changes
// elsewhere. The binding lives as long as the control.
namespace PreferenceBinding {

void bind(ToggleSwitch &toggle, PreferenceStore &store, const QString &key);
void bind(SegmentedPicker &picker, PreferenceStore &store, const QString &key);
void bind(SteppedSlider &slider, PreferenceStore &store, const QString &key);

// Calls `refresh` now and whenever the key's value changes; stops with `context`.
template<class Refresh> void watch(PreferenceStore &store, const QString &key, QObject *context, Refresh refresh);

} // namespace PreferenceBinding

template<class Refresh>
void PreferenceBinding::watch(PreferenceStore &store, const QString &key, QObject *context, Refresh refresh)
{
    refresh();
    QObject::connect(&store, &PreferenceStore::valueChanged, context, [key, refresh](const QString &changed) {
        if (changed == key)
            refresh();
    });
}

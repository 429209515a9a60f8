#include "settings/PreferenceBinding.h"

#include "widgets/SegmentedPicker.h"
#include "widgets/SteppedSlider.h"
#include "widgets/ToggleSwitch.h"

#include <QSignalBlocker>

namespace PreferenceBinding {

// Showing the stored value is done with the control's signals blocked, so that reflecting a
// value never writes it back as the user's own choice.

void bind(ToggleSwitch &toggle, PreferenceStore &store, const QString &key)
{
    watch(store, key, &toggle, [&toggle, &store, key] {
        const QSignalBlocker blocker(toggle);
        toggle.setChecked(store.boolValue(key));
    });
    QObject::connect(&toggle, &ToggleSwitch::toggled, &store, [&store, key](bool on) { store.setValue(key, on); });
}

void bind(SegmentedPicker &picker, PreferenceStore &store, const QString &key)
{
    watch(store, key, &picker, [&picker, &store, key] { picker.setValue(store.stringValue(key)); });
    QObject::connect(&picker, &SegmentedPicker::activated, &store,
        [&store, key](const QString &value) { store.setValue(key, value); });
}

void bind(SteppedSlider &slider, PreferenceStore &store, const QString &key)
{
    watch(store, key, &slider, [&slider, &store, key] {
        const QSignalBlocker blocker(slider);
        slider.setGridValue(store.doubleValue(key));
        slider.update();
    });
    QObject::connect(&slider, &SteppedSlider::valueChanged, &store,
        [&slider, &store, key] { store.setValue(key, slider.gridValue()); });
}

} // namespace PreferenceBinding

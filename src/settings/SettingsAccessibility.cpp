#include "settings/SettingsAccessibility.h"

#include "settings/ModuleDetailList.h"
#include "widgets/SteppedSlider.h"
#include "widgets/ToggleSwitch.h"

#include <QAccessibleWidget>

namespace {

// A painted button seen as a check box (on/off shown as checked) or as a link. Either way
// pressing it, from the keyboard or the accessibility bus, clicks it.
class ButtonAccessible final : public QAccessibleWidget {
public:
    ButtonAccessible(QAbstractButton *button, QAccessible::Role role)
        : QAccessibleWidget(button, role)
    { }

    QAbstractButton *button() const { return static_cast<QAbstractButton *>(widget()); }

    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        if (role() == QAccessible::CheckBox) {
            state.checkable = true;
            state.checked = button()->isChecked();
        }
        return state;
    }

    QStringList actionNames() const override
    {
        QStringList names { role() == QAccessible::CheckBox ? toggleAction() : pressAction() };
        names += QAccessibleWidget::actionNames();
        return names;
    }

    void doAction(const QString &action) override
    {
        if (!button()->isEnabled())
            return;
        if (action == toggleAction() || action == pressAction())
            button()->click();
        else
            QAccessibleWidget::doAction(action);
    }

    QStringList keyBindingsForAction(const QString &action) const override
    {
        if (action == toggleAction() || action == pressAction())
            return { QStringLiteral("Space") };
        return QAccessibleWidget::keyBindingsForAction(action);
    }
};

// The stepped slider: its value in its own unit (seconds), the grid step as the smallest step,
// the spoken value text as both value text and description (the desktop bus carries only the
// number as the value), and values set from the bus snapped to the grid.
class SliderAccessible final : public QAccessibleWidget, public QAccessibleValueInterface {
public:
    explicit SliderAccessible(SteppedSlider *slider)
        : QAccessibleWidget(slider, QAccessible::Slider)
    { }

    SteppedSlider *slider() const { return static_cast<SteppedSlider *>(widget()); }

    void *interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::ValueInterface)
            return static_cast<QAccessibleValueInterface *>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Value || t == QAccessible::Description)
            return slider()->valueText();
        return QAccessibleWidget::text(t);
    }

    QVariant currentValue() const override { return slider()->gridValue(); }
    void setCurrentValue(const QVariant &value) override
    {
        if (slider()->isEnabled())
            slider()->setGridValue(value.toDouble());
    }
    QVariant maximumValue() const override { return slider()->maximumValue(); }
    QVariant minimumValue() const override { return slider()->minimumValue(); }
    QVariant minimumStepSize() const override { return slider()->step(); }

    QStringList actionNames() const override
    {
        return QStringList { increaseAction(), decreaseAction() } + QAccessibleWidget::actionNames();
    }

    void doAction(const QString &action) override
    {
        if (!slider()->isEnabled())
            return;
        if (action == increaseAction())
            slider()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
        else if (action == decreaseAction())
            slider()->triggerAction(QAbstractSlider::SliderSingleStepSub);
        else
            QAccessibleWidget::doAction(action);
    }
};

QAccessibleInterface *settingsFactory(const QString &className, QObject *object)
{
    auto *widget = qobject_cast<QWidget *>(object);
    if (!widget)
        return nullptr;
    if (className == u"ToggleSwitch")
        return new ButtonAccessible(static_cast<QAbstractButton *>(widget), QAccessible::CheckBox);
    if (className == u"DetailRow") {
        // A line that opens a page is a link; any other line only holds its texts and command.
        if (static_cast<DetailRow *>(widget)->isLinked())
            return new ButtonAccessible(static_cast<QAbstractButton *>(widget), QAccessible::Link);
        return new QAccessibleWidget(widget, QAccessible::Grouping);
    }
    if (className == u"SteppedSlider")
        return new SliderAccessible(static_cast<SteppedSlider *>(widget));
    if (className == u"SegmentedPicker")
        return new QAccessibleWidget(widget, QAccessible::Grouping);
    if (className == u"NotchPreview")
        return new QAccessibleWidget(widget, QAccessible::Graphic);
    if (className == u"PaneHeader")
        return new QAccessibleWidget(widget, QAccessible::Heading);
    if (className == u"SettingsView")
        return new QAccessibleWidget(widget, QAccessible::Window);
    return nullptr;
}

} // namespace

void SettingsAccessibility::install()
{
    static const bool installed = [] {
        QAccessible::installFactory(settingsFactory);
        return true;
    }();
    Q_UNUSED(installed);
}

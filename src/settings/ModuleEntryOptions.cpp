#include "settings/ModuleEntryOptions.h"

#include "core/prefs/PreferenceStore.h"
#include "settings/PreferenceBinding.h"
#include "widgets/SettingsStyle.h"
#include "widgets/ToggleSwitch.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>

using Kind = ModuleListSetting::Option::Kind;

namespace {

QVariant valueOf(const QVariantMap &stored, const ModuleListSetting::Option &option)
{
    switch (option.kind) {
    case Kind::Switch:
        return ModuleListSetting::switchOf(stored, option.key);
    case Kind::Text:
        return ModuleListSetting::textOf(stored, option.key);
    case Kind::Names:
        return ModuleListSetting::namesOf(stored, option.key);
    }
    return {};
}

} // namespace

ModuleEntryOptions::ModuleEntryOptions(
    PreferenceStore &preferences, ModuleListSetting setting, QString entry, QWidget *parent)
    : QWidget(parent)
    , m_preferences(preferences)
    , m_setting(std::move(setting))
    , m_entry(std::move(entry))
{
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(16, 0, 16, 10);
    layout->setSpacing(8);
    for (const ModuleListSetting::Option &option : m_setting.options) {
        const QString name = m_entry + QStringLiteral(": ") + option.label;
        if (option.kind == Kind::Switch) {
            auto *label = new QLabel(option.label, this);
            SettingsStyle::setFont(*label, 13);
            SettingsStyle::makeSecondary(*label);
            auto *toggle = new ToggleSwitch(name, this);
            connect(toggle, &ToggleSwitch::toggled, this, [this, option](bool on) { write(option, on); });
            layout->addWidget(label);
            layout->addWidget(toggle);
            layout->addSpacing(8);
            m_controls.append(toggle);
            continue;
        }
        auto *field = new QLineEdit(this);
        field->setAccessibleName(name);
        field->setPlaceholderText(option.label);
        SettingsStyle::setFont(*field, 13);
        connect(field, &QLineEdit::editingFinished, this, [this, option, field] {
            if (option.kind == Kind::Names) {
                const QStringList names = ModuleListSetting::splitNames(field->text());
                write(option, names);
                field->setText(names.join(QStringLiteral(", ")));
            } else {
                write(option, field->text().trimmed());
            }
        });
        layout->addWidget(field, 1);
        m_controls.append(field);
    }
    PreferenceBinding::watch(
        m_preferences, m_setting.optionsKey, this, [this] { show(m_setting.optionsOf(m_preferences, m_entry)); });
}

void ModuleEntryOptions::show(const QVariantMap &stored)
{
    for (qsizetype i = 0; i < m_controls.size(); ++i) {
        const ModuleListSetting::Option &option = m_setting.options[i];
        const QVariant value = valueOf(stored, option);
        if (auto *toggle = qobject_cast<ToggleSwitch *>(m_controls[i])) {
            const QSignalBlocker blocker(toggle);
            toggle->setChecked(value.toBool());
        } else if (auto *field = qobject_cast<QLineEdit *>(m_controls[i]); field && !field->hasFocus()) {
            field->setText(
                option.kind == Kind::Names ? value.toStringList().join(QStringLiteral(", ")) : value.toString());
        }
    }
}

void ModuleEntryOptions::write(const ModuleListSetting::Option &option, const QVariant &value)
{
    if (valueOf(m_setting.optionsOf(m_preferences, m_entry), option) == value)
        return;
    m_setting.setOption(m_preferences, m_entry, option.key, value);
}

#include "core/ModuleListSetting.h"

#include "core/PlainText.h"
#include "core/prefs/PreferenceStore.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QRegularExpression>

namespace {

QVariantList storedList(const QVariant &value)
{
    if (value.typeId() == QMetaType::QVariantList || value.typeId() == QMetaType::QStringList)
        return value.toList();
    if (!value.isValid() || value.isNull())
        return {};
    return { value };
}

// A value of another type as it stands in the file: 5, true, {"a":1}.
QString asText(const QVariant &value)
{
    if (value.typeId() == QMetaType::QString)
        return value.toString();
    const QByteArray json = QJsonDocument(QJsonArray { QJsonValue::fromVariant(value) }).toJson(QJsonDocument::Compact);
    return QString::fromUtf8(json.mid(1, json.size() - 2));
}

} // namespace

QList<ModuleListSetting::Entry> ModuleListSetting::entries(const PreferenceStore &preferences) const
{
    QList<Entry> entries;
    QStringList used;
    for (const QVariant &stored : storedList(preferences.value(preferenceKey))) {
        Entry entry { stored, asText(stored), false };
        if (stored.typeId() == QMetaType::QString && (maximumCount <= 0 || used.size() < maximumCount)) {
            const Normalized normalized = normalize(stored.toString());
            // Names that differ only in case mean the same thing to most services and lists.
            const QString *name = std::get_if<QString>(&normalized);
            if (name && !used.contains(*name, Qt::CaseInsensitive)) {
                entry = Entry { stored, *name, true };
                used.append(*name);
            }
        }
        // The file is outside text: cleaned here, once, for the module and its pane alike.
        entry.text = PlainText::clean(entry.text);
        entries.append(std::move(entry));
    }
    return entries;
}

QStringList ModuleListSetting::used(const PreferenceStore &preferences) const
{
    QStringList names;
    for (const Entry &entry : entries(preferences)) {
        if (entry.used)
            names.append(entry.text);
    }
    return names;
}

namespace {

// The stored object's key for `name`: the one spelt alike first, else one in other letters.
QString storedName(const QVariantMap &all, const QString &name)
{
    if (all.contains(name))
        return name;
    for (auto it = all.cbegin(); it != all.cend(); ++it) {
        if (it.key().compare(name, Qt::CaseInsensitive) == 0)
            return it.key();
    }
    return name;
}

QVariantMap asMap(const QVariant &value)
{
    return value.typeId() == QMetaType::QVariantMap ? value.toMap() : QVariantMap();
}

} // namespace

QVariantMap ModuleListSetting::optionsOf(const PreferenceStore &preferences, const QString &name) const
{
    if (optionsKey.isEmpty())
        return {};
    const QVariantMap all = asMap(preferences.value(optionsKey));
    return asMap(all.value(storedName(all, name)));
}

void ModuleListSetting::setOption(
    PreferenceStore &preferences, const QString &name, const QString &key, const QVariant &value) const
{
    QVariantMap all = asMap(preferences.value(optionsKey));
    const QString stored = storedName(all, name);
    QVariantMap own = asMap(all.value(stored));
    bool neutral = !value.isValid();
    if (value.typeId() == QMetaType::Bool)
        neutral = !value.toBool();
    else if (value.typeId() == QMetaType::QString)
        neutral = value.toString().isEmpty();
    else if (value.typeId() == QMetaType::QStringList || value.typeId() == QMetaType::QVariantList)
        neutral = value.toList().isEmpty();
    if (neutral)
        own.remove(key);
    else
        own.insert(key, value);
    all.remove(stored);
    if (!own.isEmpty())
        all.insert(name, own);
    preferences.setValue(optionsKey, all);
}

void ModuleListSetting::dropOptions(PreferenceStore &preferences, const QString &name) const
{
    if (optionsKey.isEmpty())
        return;
    QVariantMap all = asMap(preferences.value(optionsKey));
    if (all.remove(storedName(all, name)) > 0)
        preferences.setValue(optionsKey, all);
}

bool ModuleListSetting::switchOf(const QVariantMap &options, const QString &key)
{
    const QVariant value = options.value(key);
    return value.typeId() == QMetaType::Bool && value.toBool();
}

QString ModuleListSetting::textOf(const QVariantMap &options, const QString &key)
{
    const QVariant value = options.value(key);
    return value.typeId() == QMetaType::QString ? value.toString().trimmed() : QString();
}

QStringList ModuleListSetting::namesOf(const QVariantMap &options, const QString &key)
{
    const QVariant value = options.value(key);
    if (value.typeId() == QMetaType::QString)
        return splitNames(value.toString());
    QStringList names;
    if (value.typeId() != QMetaType::QVariantList && value.typeId() != QMetaType::QStringList)
        return names;
    for (const QVariant &item : value.toList()) {
        if (item.typeId() == QMetaType::QString)
            names.append(splitNames(item.toString()));
    }
    return names;
}

QStringList ModuleListSetting::splitNames(const QString &text)
{
    static const QRegularExpression separators(QStringLiteral("[,\\s]+"));
    return text.split(separators, Qt::SkipEmptyParts);
}

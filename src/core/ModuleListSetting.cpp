#include "core/ModuleListSetting.h"

#include "core/prefs/PreferenceStore.h"

#include <QJsonArray>
#include <QJsonDocument>

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
            // Names that differ only in case mean the same thing to GitHub and to most lists like it.
            const QString *name = std::get_if<QString>(&normalized);
            if (name && !used.contains(*name, Qt::CaseInsensitive)) {
                entry = Entry { stored, *name, true };
                used.append(*name);
            }
        }
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

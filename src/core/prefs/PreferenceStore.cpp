#include "core/prefs/PreferenceStore.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>
#include <QSettings>

namespace {

bool readJson(QIODevice &device, QSettings::SettingsMap &map)
{
    const std::optional<QVariantMap> values = PreferenceStore::decodeFile(device.readAll());
    if (values)
        map = *values;
    return values.has_value();
}

bool writeJson(QIODevice &device, const QSettings::SettingsMap &map)
{
    return device.write(PreferenceStore::encodeFile(map)) >= 0;
}

QSettings::Format jsonFormat()
{
    static const QSettings::Format format =
        QSettings::registerFormat(QStringLiteral("json"), readJson, writeJson, Qt::CaseSensitive);
    return format;
}

bool isStringList(const QVariant &value)
{
    if (value.typeId() == QMetaType::QStringList)
        return true;
    if (value.typeId() != QMetaType::QVariantList)
        return false;
    const QVariantList list = value.toList();
    return std::all_of(list.cbegin(), list.cend(),
                       [](const QVariant &item) { return item.typeId() == QMetaType::QString; });
}

} // namespace

// QSettings keeps values as QVariant; a JSON file keeps their JSON type, unlike the INI format,
// which turns every value into text. Keys are stored flat, exactly as written ("notch.hoverOpens").
std::optional<QVariantMap> PreferenceStore::decodeFile(const QByteArray &bytes)
{
    if (bytes.trimmed().isEmpty())
        return QVariantMap();
    QJsonParseError error {};
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return std::nullopt;
    return document.object().toVariantMap();
}

QByteArray PreferenceStore::encodeFile(const QVariantMap &values)
{
    return QJsonDocument(QJsonObject::fromVariantMap(values)).toJson(QJsonDocument::Indented);
}

std::unique_ptr<PreferenceStore> PreferenceStore::openUserStore()
{
#ifdef Q_OS_MACOS
    auto settings = std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                                QStringLiteral("Tarnlet"), QStringLiteral("Tarnlet"));
#else
    auto settings = std::make_unique<QSettings>(jsonFormat(), QSettings::UserScope,
                                                QStringLiteral("Tarnlet"), QStringLiteral("Tarnlet"));
#endif
    return std::unique_ptr<PreferenceStore>(new PreferenceStore(std::move(settings)));
}

std::unique_ptr<PreferenceStore> PreferenceStore::openFile(const QString &path)
{
    return std::unique_ptr<PreferenceStore>(new PreferenceStore(std::make_unique<QSettings>(path, jsonFormat())));
}

PreferenceStore::PreferenceStore(std::unique_ptr<QSettings> settings) : m_settings(std::move(settings))
{
    m_settings->setFallbacksEnabled(false);
}

PreferenceStore::~PreferenceStore() = default;

void PreferenceStore::registerDefaults(const QVariantMap &defaults)
{
    for (auto it = defaults.begin(); it != defaults.end(); ++it)
        m_defaults.insert(it.key(), it.value());
}

QVariant PreferenceStore::value(const QString &key) const
{
    const QVariant stored = m_settings->value(key);
    return stored.isValid() ? stored : m_defaults.value(key);
}

bool PreferenceStore::containsUserValue(const QString &key) const
{
    return m_settings->contains(key);
}

bool PreferenceStore::boolValue(const QString &key) const
{
    const QVariant v = value(key);
    return v.typeId() == QMetaType::Bool && v.toBool();
}

double PreferenceStore::doubleValue(const QString &key) const
{
    const QVariant v = value(key);
    switch (v.typeId()) {
    case QMetaType::Double:
    case QMetaType::Float:
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt:
    case QMetaType::ULongLong:
        return v.toDouble();
    default:
        return 0;
    }
}

QString PreferenceStore::stringValue(const QString &key) const
{
    const QVariant v = value(key);
    return v.typeId() == QMetaType::QString ? v.toString() : QString();
}

std::optional<QStringList> PreferenceStore::stringListValue(const QString &key) const
{
    const QVariant v = value(key);
    if (!isStringList(v))
        return std::nullopt;
    return v.toStringList();
}

void PreferenceStore::setValue(const QString &key, const QVariant &value)
{
    prepareForWrite();
    m_settings->setValue(key, value);
    m_settings->sync();
    Q_EMIT valueChanged(key);
}

void PreferenceStore::remove(const QString &key)
{
    prepareForWrite();
    m_settings->remove(key);
    m_settings->sync();
    Q_EMIT valueChanged(key);
}

QString PreferenceStore::fileName() const
{
    return m_settings->fileName();
}

void PreferenceStore::prepareForWrite()
{
    // The file may have been edited by hand since it was read. QSettings reads it afresh before
    // writing and, finding it unreadable, would write back only the changed key. Its bytes are kept
    // aside, and every value held is set again, so that the write holds the whole state.
    if (m_settings->format() != jsonFormat())
        return;
    QFile file(m_settings->fileName());
    if (!file.open(QIODevice::ReadOnly) || decodeFile(file.readAll()))
        return;
    const QString aside = file.fileName() + QStringLiteral(".corrupt");
    QFile::remove(aside);
    QFile::copy(file.fileName(), aside);
    for (const QString &key : m_settings->allKeys())
        m_settings->setValue(key, m_settings->value(key));
}

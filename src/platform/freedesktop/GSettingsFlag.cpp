#include "platform/freedesktop/GSettingsFlag.h"

#include <gio/gio.h>

GSettingsFlag::GSettingsFlag(const QString &schema, const QString &key, QObject *parent)
    : QObject(parent)
    , m_key(key.toUtf8())
{
    // GSettings aborts on a schema or key it does not know: both are looked up first.
    GSettingsSchema *found
        = g_settings_schema_source_lookup(g_settings_schema_source_get_default(), schema.toUtf8().constData(), TRUE);
    if (!found)
        return;
    const bool hasKey = g_settings_schema_has_key(found, m_key.constData());
    g_settings_schema_unref(found);
    if (!hasKey)
        return;
    m_settings = g_settings_new(schema.toUtf8().constData());
    // GCallback is GLib's untyped function pointer; GLib calls it with the signal's own arguments.
    m_handler = g_signal_connect_data(m_settings, QByteArray("changed::" + m_key).constData(),
        reinterpret_cast<GCallback>(&GSettingsFlag::notify), this, nullptr, GConnectFlags {});
    // GSettings sends change signals only for keys that were read since.
    value();
}

GSettingsFlag::~GSettingsFlag()
{
    if (!m_settings)
        return;
    g_signal_handler_disconnect(m_settings, m_handler);
    g_object_unref(m_settings);
}

std::optional<bool> GSettingsFlag::value() const
{
    if (!m_settings)
        return std::nullopt;
    return g_settings_get_boolean(static_cast<GSettings *>(m_settings), m_key.constData()) != 0;
}

void GSettingsFlag::notify(void *, const char *, void *self)
{
    Q_EMIT static_cast<GSettingsFlag *>(self)->changed();
}

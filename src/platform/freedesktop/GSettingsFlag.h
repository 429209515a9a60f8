#pragma once

#include <QObject>
#include <QString>

#include <optional>

// One boolean key of a GSettings schema (GNOME's settings store), read through GIO and followed
// through its change signal, which GLib's main loop delivers: Qt runs that loop on Linux. Without
// the schema (not installed), the value is unknown.
class GSettingsFlag final : public QObject {
    Q_OBJECT
public:
    GSettingsFlag(const QString &schema, const QString &key, QObject *parent = nullptr);
    ~GSettingsFlag() override;

    std::optional<bool> value() const;

Q_SIGNALS:
    // After the stored value changed.
    void changed();

private:
    static void notify(void *settings, const char *key, void *self);

    void *m_settings = nullptr; // the GSettings object, while the schema is there
    QByteArray m_key;
    unsigned long m_handler = 0;
};

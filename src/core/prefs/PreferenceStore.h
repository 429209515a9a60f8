#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantMap>

#include <memory>
#include <optional>

class QSettings;

// The user's preferences: a persisted per-user domain over a registration layer that is held in
// memory only. Typed reads return the user's value while present, else the registered default,
// else a neutral value (false, 0, empty); a value of the wrong type reads as neutral.
//
// The file keeps JSON types, so a Boolean stays a Boolean. A file that cannot be parsed is left
// untouched until a setting is written; then it is first kept aside as "<file>.corrupt", and the
// file written holds every value the store holds. Each write reads the file afresh, so a hand edit
// made meanwhile is kept, or kept aside when it cannot be parsed.
class PreferenceStore final : public QObject {
    Q_OBJECT
public:
    // The per-user store in the platform's native location.
    static std::unique_ptr<PreferenceStore> openUserStore();
    // A store on the given file (tests, tools).
    static std::unique_ptr<PreferenceStore> openFile(const QString &path);

    ~PreferenceStore() override;

    void registerDefaults(const QVariantMap &defaults);

    bool boolValue(const QString &key) const;
    double doubleValue(const QString &key) const;
    QString stringValue(const QString &key) const;
    // Absent unless the value is a list made only of strings.
    std::optional<QStringList> stringListValue(const QString &key) const;
    // The user's value, else the registered default, else an invalid QVariant.
    QVariant value(const QString &key) const;
    // Whether the user's own domain holds a value for the key.
    bool containsUserValue(const QString &key) const;

    void setValue(const QString &key, const QVariant &value);
    void remove(const QString &key);

    // Path of the backing file.
    QString fileName() const;

    // The settings a preference file holds (an empty file holds none), or none when it is not
    // a JSON object; and the file that holds `values`.
    static std::optional<QVariantMap> decodeFile(const QByteArray &bytes);
    static QByteArray encodeFile(const QVariantMap &values);

Q_SIGNALS:
    // Emitted after a write or removal of the key through this store.
    void valueChanged(const QString &key);

private:
    explicit PreferenceStore(std::unique_ptr<QSettings> settings);
    void prepareForWrite();

    std::unique_ptr<QSettings> m_settings;
    QVariantMap m_defaults;
};

#pragma once

#include "core/CancelHandle.h"

#include <QDateTime>
#include <QObject>
#include <QString>

#include <functional>
#include <optional>

class ApiCredentials;
class PreferenceStore;
class Scheduler;

// Warns before a service's token runs out, once the service has named its end
// (ApiCredentials::expiry): from seven days before it, the account pane and the tray's tooltip say
// "Token läuft am 12.01. ab", and on the day before, once for that end (kept in the preferences, so
// a restart does not repeat it), the warning is flashed as news. The moments are asked of the wall
// clock at every answer that names the end and at the next moment that matters, so a computer that
// slept through one catches up at the next answer.
class TokenExpiry final : public QObject {
    Q_OBJECT
public:
    static constexpr int warningDays = 7;

    // What is one service's own: the preference keeping the end the day before was announced for,
    // and the warning's text in this class's translation context (QT_TRANSLATE_NOOP("TokenExpiry",
    // ...)), "%1" standing for the day.
    struct Service {
        const char *warnedKey;
        const char *warning;
    };

    using WallClock = std::function<QDateTime()>;
    // The references must outlive this object.
    TokenExpiry(const ApiCredentials &credentials, Service service, Scheduler &scheduler, PreferenceStore &preferences,
        WallClock now = &QDateTime::currentDateTime, QObject *parent = nullptr);
    ~TokenExpiry() override;

    // "Token läuft am 12.01. ab" from seven days before the token's end until it; none otherwise.
    std::optional<QString> warningText() const;
    // "12.01." in the interface's language: its short date without the year.
    static QString dayAndMonth(const QDate &date);

Q_SIGNALS:
    // After warningText() changed.
    void changed();
    // The day before the token's end has come: `warning` is announced as news, once for that end.
    void dayBefore(const QString &warning);

private:
    void follow();

    const ApiCredentials &m_credentials;
    const Service m_service;
    Scheduler &m_scheduler;
    PreferenceStore &m_preferences;
    const WallClock m_now;
    std::optional<QString> m_shown;
    CancelHandle m_next;
    QDateTime m_nextAt; // when m_next runs; invalid while nothing is asked for
};

#pragma once

#include "core/DevModule.h"
#include "updates/Updater.h"

#include <optional>

// A module whose status, error, lines and list the test sets; each change is announced before it
// is made, as real modules do.
class StatusModule final : public DevModule {
public:
    StatusModule(QString id, QString title)
        : m_id(std::move(id))
        , m_title(std::move(title))
    { }

    QString id() const override { return m_id; }
    QString title() const override { return m_title; }
    QString symbol() const override { return QStringLiteral("shippingbox"); }
    std::optional<ModuleStatus> compactStatus() const override { return m_status; }
    void start() override { }
    void stop() override { }
    std::optional<QString> errorText() const override { return m_error; }
    QList<ModuleDetail> details() const override { return m_details; }
    std::optional<ModuleListSetting> listSetting() const override { return list; }

    void setStatus(std::optional<ModuleStatus> status) { change(m_status, std::move(status)); }
    void setError(std::optional<QString> error) { change(m_error, std::move(error)); }
    void setDetails(QList<ModuleDetail> details) { change(m_details, std::move(details)); }

    // Read when a pane first meets the module.
    std::optional<ModuleListSetting> list;

private:
    template<class T> void change(T &field, T value)
    {
        Q_EMIT willChange();
        field = std::move(value);
    }

    QString m_id;
    QString m_title;
    std::optional<ModuleStatus> m_status;
    std::optional<QString> m_error;
    QList<ModuleDetail> m_details;
};

// An updater that records what it is asked and whose "can check" flag the test sets.
class FakeUpdater final : public Updater {
public:
    void startUpdater() override { }
    void checkForUpdates() override { ++checks; }
    bool automaticallyChecksForUpdates() const override { return automatic; }
    void setAutomaticallyChecksForUpdates(bool enabled) override { automatic = enabled; }
    bool canCheckForUpdates() const override { return canCheck; }

    void setCanCheck(bool can)
    {
        canCheck = can;
        Q_EMIT canCheckForUpdatesChanged();
    }

    int checks = 0;
    bool automatic = true;
    bool canCheck = true;
};

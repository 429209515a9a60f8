#pragma once

#include "core/DevModule.h"

#include <QStringList>

// A module that counts its starts and stops, and can log its starts in a list shared with others.
class FakeModule final : public DevModule {
public:
    explicit FakeModule(QString id, int *destroyed = nullptr) : m_id(std::move(id)), m_destroyed(destroyed) {}
    ~FakeModule() override
    {
        if (m_destroyed)
            ++*m_destroyed;
    }

    QString id() const override { return m_id; }
    QString title() const override { return m_id; }
    QString symbol() const override { return QStringLiteral("gearshape"); }
    std::optional<ModuleStatus> compactStatus() const override { return std::nullopt; }
    void start() override
    {
        ++starts;
        if (startLog)
            startLog->append(m_id);
    }
    void stop() override { ++stops; }

    int starts = 0;
    int stops = 0;
    QStringList *startLog = nullptr; // where each start writes the id, when set

private:
    QString m_id;
    int *m_destroyed;
};

#pragma once

#include "core/DevModule.h"

// A module that counts its starts and stops.
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
    void start() override { ++starts; }
    void stop() override { ++stops; }

    int starts = 0;
    int stops = 0;

private:
    QString m_id;
    int *m_destroyed;
};

#pragma once

#include "modules/docker/ContainerSource.h"

#include <deque>

// A container source that keeps each request until the test answers it. The requests live in
// queues the test owns, so they outlast the source (and the module that owns it).
class FakeContainerSource final : public ContainerSource {
public:
    using Requests = std::deque<Done>;
    struct Command {
        QString containerId;
        bool running;
        CommandDone done;
    };
    using Commands = std::deque<Command>;

    explicit FakeContainerSource(Requests &requests, Commands *commands = nullptr)
        : m_requests(requests)
        , m_commands(commands)
    { }

    void listContainers(Done done) override { m_requests.push_back(std::move(done)); }
    void setRunning(const QString &containerId, bool running, CommandDone done) override
    {
        if (m_commands)
            m_commands->push_back({ containerId, running, std::move(done) });
    }

private:
    Requests &m_requests;
    Commands *m_commands;
};

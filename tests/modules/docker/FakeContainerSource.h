#pragma once

#include "modules/docker/ContainerSource.h"

#include <deque>

// A container source that keeps each request until the test answers it. The requests live in a
// queue the test owns, so they outlast the source (and the module that owns it).
class FakeContainerSource final : public ContainerSource {
public:
    using Requests = std::deque<Done>;

    explicit FakeContainerSource(Requests &requests)
        : m_requests(requests)
    { }

    void listContainers(Done done) override { m_requests.push_back(std::move(done)); }

private:
    Requests &m_requests;
};

#pragma once

#include "integrations/github/GitHubError.h"

#include <utility>
#include <variant>

// The outcome of one GitHub call: a decoded value or the error that stopped it.
template<typename T> class GitHubResult final {
public:
    GitHubResult(T value)
        : m_outcome(std::in_place_index<0>, std::move(value))
    { }
    GitHubResult(GitHubError error)
        : m_outcome(std::in_place_index<1>, std::move(error))
    { }

    bool isOk() const { return m_outcome.index() == 0; }
    const T &value() const { return std::get<0>(m_outcome); }
    const GitHubError &error() const { return std::get<1>(m_outcome); }

private:
    std::variant<T, GitHubError> m_outcome;
};

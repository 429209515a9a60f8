#pragma once

#include "services/ApiError.h"

#include <utility>
#include <variant>

// The outcome of one API call: a decoded value or the error that stopped it.
template<typename T> class ApiResult final {
public:
    ApiResult(T value)
        : m_outcome(std::in_place_index<0>, std::move(value))
    { }
    ApiResult(ApiError error)
        : m_outcome(std::in_place_index<1>, std::move(error))
    { }

    bool isOk() const { return m_outcome.index() == 0; }
    const T &value() const { return std::get<0>(m_outcome); }
    const ApiError &error() const { return std::get<1>(m_outcome); }

private:
    std::variant<T, ApiError> m_outcome;
};

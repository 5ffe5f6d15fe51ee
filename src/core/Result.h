#pragma once

#include <string>
#include <utility>
#include <variant>

namespace vok {

// The error side of a Result: a text fit to show the user after "ERROR : ".
struct Error {
    std::string message;
};

// A value or the reason there is none. Errors are values in this code base;
// nothing throws across our interfaces.
template <typename T>
class Result {
public:
    Result(T value) : m_state(std::move(value)) {}      // NOLINT(google-explicit-constructor)
    Result(Error error) : m_state(std::move(error)) {}  // NOLINT(google-explicit-constructor)

    bool ok() const { return std::holds_alternative<T>(m_state); }
    explicit operator bool() const { return ok(); }

    const T& value() const& { return std::get<T>(m_state); }
    T& value() & { return std::get<T>(m_state); }
    T&& value() && { return std::get<T>(std::move(m_state)); }
    const T* operator->() const { return &value(); }
    const T& operator*() const& { return value(); }

    const std::string& error() const { return std::get<Error>(m_state).message; }

private:
    std::variant<T, Error> m_state;
};

// For operations that only succeed or fail.
struct Done {};
using Status = Result<Done>;

}  // namespace vok

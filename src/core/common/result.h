#pragma once
// One way to report failure across the code base: a kind that callers can branch on (a time-out is
// retried differently from a refusal) and the message the user sees, kept exactly as the rules word it.

#include <cassert>
#include <optional>
#include <string>
#include <type_traits>
#include <utility>
#include <variant>

namespace veltrane {

enum class ErrorKind {
    Io,              // a local file, port or socket failed
    Format,          // stored or typed data is not what it must be
    Timeout,         // the peer stayed silent past the bound
    MalformedReply,  // the peer answered with bytes that do not parse
    NegativeReply,   // the peer parsed the request and said no
    Refused,         // a rule or the user declined; nothing was attempted
    Cancelled,       // the user stopped it while it ran; nothing more is shown
    DeviceMismatch,  // the gateway is of another kind than the project
    LineSettings,    // the serial port opened but refused its line settings
};

struct Error {
    ErrorKind kind = ErrorKind::Io;
    std::string message;
    std::string detail;  // shown below the message: what lies behind it and what to do

    friend bool operator==(const Error&, const Error&) = default;
};

inline Error makeError(ErrorKind kind, std::string message, std::string detail = {}) {
    return Error{kind, std::move(message), std::move(detail)};
}

// A value or an Error. Result<void> carries only success or an Error.
template <class T>
class [[nodiscard]] Result {
public:
    Result(T value) : m_state(std::in_place_index<0>, std::move(value)) {}
    Result(Error error) : m_state(std::in_place_index<1>, std::move(error)) {}

    bool ok() const { return m_state.index() == 0; }
    explicit operator bool() const { return ok(); }

    T& value() & { assert(ok()); return std::get<0>(m_state); }
    const T& value() const& { assert(ok()); return std::get<0>(m_state); }
    T&& value() && { assert(ok()); return std::get<0>(std::move(m_state)); }
    T& operator*() & { return value(); }
    const T& operator*() const& { return value(); }
    T* operator->() { return &value(); }
    const T* operator->() const { return &value(); }

    const Error& error() const { assert(!ok()); return std::get<1>(m_state); }
    ErrorKind kind() const { return error().kind; }
    const std::string& message() const { return error().message; }
    const std::string& detail() const { return error().detail; }

private:
    std::variant<T, Error> m_state;
};

template <>
class [[nodiscard]] Result<void> {
public:
    Result() = default;
    Result(Error error) : m_error(std::move(error)) {}

    bool ok() const { return !m_error.has_value(); }
    explicit operator bool() const { return ok(); }

    const Error& error() const { assert(!ok()); return *m_error; }
    ErrorKind kind() const { return error().kind; }
    const std::string& message() const { return error().message; }
    const std::string& detail() const { return error().detail; }

private:
    std::optional<Error> m_error;
};

using Status = Result<void>;

}  // namespace veltrane

#pragma once

#include <optional>
#include <string>
#include <utility>

namespace lm {

// Why a file operation failed: the file it was about and the system's own
// words, so the operator can be told both.
struct Error {
    std::string path;
    std::string reason;

    // "<path>: <reason>", or just the reason when no file is involved.
    std::string message() const { return path.empty() ? reason : path + ": " + reason; }
};

// Success, or an Error that says why not.
class Status {
public:
    Status() = default;
    Status(Error error) : m_error(std::move(error)) {}  // NOLINT: implicit by design

    bool ok() const { return !m_error.has_value(); }
    explicit operator bool() const { return ok(); }
    const Error& error() const { return *m_error; }

private:
    std::optional<Error> m_error;
};

// A value, or an Error that says why there is none.
template <class T>
class Result {
public:
    Result(T value) : m_value(std::move(value)) {}  // NOLINT: implicit by design
    Result(Error error) : m_error(std::move(error)) {}  // NOLINT: implicit by design

    bool ok() const { return m_value.has_value(); }
    explicit operator bool() const { return ok(); }
    const T& value() const { return *m_value; }
    T& value() { return *m_value; }
    const T& operator*() const { return *m_value; }
    const T* operator->() const { return &*m_value; }
    const Error& error() const { return m_error; }
    Status status() const { return ok() ? Status() : Status(m_error); }

private:
    std::optional<T> m_value;
    Error m_error;
};

// The system's message for errno, e.g. "No space left on device".
std::string systemReason(int errorNumber);

}  // namespace lm

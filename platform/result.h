// A value or the reason it could not be produced. Core operations return these; the windows show
// the error text in a message box and the command line prints it on one line.
#pragma once

#include <optional>
#include <string>
#include <utility>

namespace hg {

struct Error {
    std::string message;
};

template <class T>
class [[nodiscard]] Result {
  public:
    Result(T value) : value_(std::move(value)) {}              // NOLINT: implicit on purpose
    Result(Error error) : error_(std::move(error.message)) {}  // NOLINT

    bool ok() const { return value_.has_value(); }
    explicit operator bool() const { return ok(); }
    T& value() { return *value_; }
    const T& value() const { return *value_; }
    T* operator->() { return &*value_; }
    const T* operator->() const { return &*value_; }
    T& operator*() { return *value_; }
    const T& operator*() const { return *value_; }
    const std::string& error() const { return error_; }

  private:
    std::optional<T> value_;
    std::string error_;
};

// For operations that yield nothing but may fail.
struct Done {};
// Result<T> is [[nodiscard]]: a failure is never dropped unread.
using Status = Result<Done>;
inline Status success() {
    return Done{};
}

}  // namespace hg

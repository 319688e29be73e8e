#pragma once

#include <optional>
#include <string>
#include <utility>

// What a platform call that can fail hands back: success (with its value, for a Result), or
// the platform's readable text of why not. Errors are values here; nothing throws. Both types
// are [[nodiscard]], so that a caller who drops a failure gets a warning, not a silent gap.
namespace Platform {

// A failure with the platform's text; converts to a failed Status or Result<T> of any T.
struct Failure {
  std::string Text;
};

// The outcome of a call without a value.
class [[nodiscard]] Status {
 public:
  Status() = default;  // success
  Status(Failure failure) : failed_(true), error_(std::move(failure.Text)) {}

  explicit operator bool() const { return !failed_; }
  // The platform's text of the failure; empty after a success.
  const std::string& error() const { return error_; }

 private:
  bool failed_ = false;
  std::string error_;
};

// The outcome of a call with a value: the value, or the failure's text.
template <typename T>
class [[nodiscard]] Result {
 public:
  Result(T value) : value_(std::move(value)) {}
  Result(Failure failure) : error_(std::move(failure.Text)) {}

  explicit operator bool() const { return value_.has_value(); }
  const std::string& error() const { return error_; }

  // Only after a success.
  T& operator*() & { return *value_; }
  const T& operator*() const& { return *value_; }
  T&& operator*() && { return std::move(*value_); }
  T* operator->() { return &*value_; }
  const T* operator->() const { return &*value_; }

  // The value, or nothing after a failure (its text then dropped).
  std::optional<T> TakeValue() && { return std::move(value_); }

 private:
  std::optional<T> value_;
  std::string error_;
};

}  // namespace Platform

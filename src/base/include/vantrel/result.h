/// @file
/// How the display layer's calls fail: one Error that says why, carried by a
/// Result (a value or an Error, as std::expected), or by an Exception where
/// a constructor cannot return one.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <utility>
#include <variant>

namespace vantrel {

/// Why a call failed.
enum class ErrorCode {
  kNoSuchWindow,     ///< the window is gone, or never was one
  kInvalidArgument,  ///< an argument no call takes (text that is no saved place, ...)
  kSystem,           ///< a system call failed; Error::system_error has its code
};

/// A failure: why, the system's error code where a system call failed, and
/// one line of text naming what failed.
struct Error {
  ErrorCode code = ErrorCode::kSystem;  ///< why
  std::uint32_t system_error = 0;       ///< GetLastError's code, else 0
  std::string message;                  ///< as "CreateWindowExW failed (system error 1400)"
};

/// What a constructor throws where it fails: the Error, with its message as
/// what().
class Exception : public std::runtime_error {
 public:
  /// Carries `error`.
  explicit Exception(Error error) : std::runtime_error(error.message), error_(std::move(error)) {}
  /// Why the call failed.
  const Error& error() const noexcept { return error_; }

 private:
  Error error_;
};

/// A value, or the Error that kept the call from giving one.
template <class T>
class [[nodiscard]] Result {
 public:
  /// A value.
  Result(T value) : state_(std::in_place_index<0>, std::move(value)) {}
  /// A failure.
  Result(Error error) : state_(std::in_place_index<1>, std::move(error)) {}

  /// Whether the call succeeded.
  bool has_value() const noexcept { return state_.index() == 0; }
  /// Whether the call succeeded.
  explicit operator bool() const noexcept { return has_value(); }
  /// The value; throws Exception with the Error where there is none.
  const T& value() const& {
    if (!has_value()) throw Exception(std::get<1>(state_));
    return std::get<0>(state_);
  }
  /// The value, moved out; throws Exception with the Error where there is none.
  T&& value() && {
    if (!has_value()) throw Exception(std::get<1>(state_));
    return std::get<0>(std::move(state_));
  }
  /// The value; only where has_value().
  const T& operator*() const& noexcept { return *std::get_if<0>(&state_); }
  /// The value's members; only where has_value().
  const T* operator->() const noexcept { return std::get_if<0>(&state_); }
  /// The failure; only where !has_value().
  const Error& error() const& noexcept { return *std::get_if<1>(&state_); }

 private:
  std::variant<T, Error> state_;
};

/// Success with nothing to give, or the Error.
template <>
class [[nodiscard]] Result<void> {
 public:
  /// Success.
  Result() = default;
  /// A failure.
  Result(Error error) : error_(std::move(error)), failed_(true) {}

  /// Whether the call succeeded.
  bool has_value() const noexcept { return !failed_; }
  /// Whether the call succeeded.
  explicit operator bool() const noexcept { return has_value(); }
  /// Throws Exception with the Error where the call failed.
  void value() const {
    if (failed_) throw Exception(error_);
  }
  /// The failure; only where !has_value().
  const Error& error() const& noexcept { return error_; }

 private:
  Error error_;
  bool failed_ = false;
};

}  // namespace vantrel

/// @file
/// How the library's modern calls fail: one Error that says why, carried by a
/// Result (a value or an Error, as std::expected), or by an Exception where
/// a constructor cannot return one. A call whose failure has more to say (a
/// plan refused, naming the display and the reason as data) carries its own
/// error type in Result's second parameter; it converts to an Error.
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
  /// A system call failed: Error::system_error has GetLastError's code, or,
  /// where a change of the displays failed, Error::change_result its
  /// DISP_CHANGE code.
  kSystem,
  kRefused,  ///< a change of the displays refused before anything changed
};

/// A failure: why, the system's error code where a system call failed, and
/// one line of text naming what failed.
struct Error {
  ErrorCode code = ErrorCode::kSystem;  ///< why
  std::uint32_t system_error = 0;       ///< GetLastError's code, else 0
  std::string message;                  ///< as "CreateWindowExW failed (system error 1400)"
  /// ChangeDisplaySettingsEx's answer (DISP_CHANGE_BADMODE is -2) where a
  /// change of the displays failed, else 0 (DISP_CHANGE_SUCCESSFUL).
  std::int32_t change_result = 0;
};

/// An Error as itself: what Result throws for its own error type.
inline const Error& AsError(const Error& error) noexcept { return error; }

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

/// A value, or the error (an Error, or a type of its own that AsError turns
/// into one) that kept the call from giving one.
template <class T, class E = Error>
class [[nodiscard]] Result {
 public:
  /// A value.
  Result(T value) : state_(std::in_place_index<0>, std::move(value)) {}
  /// A failure.
  Result(E error) : state_(std::in_place_index<1>, std::move(error)) {}

  /// Whether the call succeeded.
  bool has_value() const noexcept { return state_.index() == 0; }
  /// Whether the call succeeded.
  explicit operator bool() const noexcept { return has_value(); }
  /// The value; throws Exception with the Error where there is none.
  const T& value() const& {
    if (!has_value()) throw Exception(AsError(std::get<1>(state_)));
    return std::get<0>(state_);
  }
  /// The value, moved out; throws Exception with the Error where there is none.
  T&& value() && {
    if (!has_value()) throw Exception(AsError(std::get<1>(state_)));
    return std::get<0>(std::move(state_));
  }
  /// The value; only where has_value().
  const T& operator*() const& noexcept { return *std::get_if<0>(&state_); }
  /// The value's members; only where has_value().
  const T* operator->() const noexcept { return std::get_if<0>(&state_); }
  /// The failure; only where !has_value().
  const E& error() const& noexcept { return *std::get_if<1>(&state_); }

 private:
  std::variant<T, E> state_;
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

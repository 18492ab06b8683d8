/// @file
/// How the library reports a failure: a vantrel::Failure exception carrying a
/// number that says why, and where a platform call failed, the platform's own
/// error code. Running out of memory is std::bad_alloc. Which members can fail,
/// and with which numbers, is said at each of them.
#pragma once

#include <cstdint>
#include <exception>

namespace vantrel {

/// Why a call failed: the number a Failure carries.
enum FailureNumber : std::int32_t {
  kNoFailure = 0,          ///< no failure
  kInvalidCall = 5,        ///< a call that cannot be made now (a window that is gone)
  kOverflow = 6,           ///< a number beyond what its type holds
  kOutOfMemory = 7,        ///< memory ran out
  kOutOfRange = 9,         ///< a position that does not exist
  kTypeMismatch = 13,      ///< a value of the wrong kind (a text that is no number)
  kObjectNotSet = 91,      ///< a null object where one is needed
  kObjectRequired = 424,   ///< something that is no object where one is needed
  kNoSuchProperty = 438,   ///< an object without the property asked for
  kFunctionMissing = 453,  ///< a function the display service lacks
  kDuplicateKey = 457,     ///< a key already present
};

/// The exception the library throws where a call fails: the failure's
/// number, the platform's error code, and one line of text saying both.
class Failure : public std::exception {
 public:
  /// A failure of `number`, with `system_error` where a platform call failed.
  /// `step` names the place that failed, as the platform function's name; it
  /// is copied. The message is written here, into the object itself, so that
  /// making a Failure never allocates and never throws.
  explicit Failure(std::int32_t number, std::uint32_t system_error = 0,
                   const char* step = nullptr) noexcept;
  /// Why the call failed: a FailureNumber.
  std::int32_t number() const noexcept { return number_; }
  /// The platform's error code (GetLastError) where a platform call failed; 0
  /// where the failure is the library's own.
  std::uint32_t system_error() const noexcept { return system_error_; }
  /// One line of UTF-8: the failure's number and name, the step, and the
  /// platform's error code with the system's text for it (on Windows). Cut
  /// short, never mid-character, where it would not fit. As:
  /// @code{.unparsed}
  /// vantrel failure 5 (invalid call) at GetWindowRect; system error 1400: Invalid window handle.
  /// @endcode
  const char* what() const noexcept override { return message_; }

 private:
  std::int32_t number_;
  std::uint32_t system_error_;
  char message_[256];
};

}  // namespace vantrel

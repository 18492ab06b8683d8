// How the library reports a failure: a vantrel::Failure exception carrying a
// number that says why, and where a platform call failed, the platform's own
// error code. Running out of memory is std::bad_alloc. Which members can fail,
// and with which numbers, is said at each of them.
#pragma once

#include <cstdint>
#include <exception>

namespace vantrel {

enum FailureNumber : std::int32_t {
  kNoFailure = 0,
  kInvalidCall = 5,
  kOverflow = 6,
  kOutOfMemory = 7,
  kOutOfRange = 9,
  kTypeMismatch = 13,
  kObjectNotSet = 91,
  kObjectRequired = 424,
  kNoSuchProperty = 438,
  kFunctionMissing = 453,
  kDuplicateKey = 457,
};

class Failure : public std::exception {
 public:
  // `step` names the place that failed, as the platform function's name; it
  // is copied. The message is written here, into the object itself, so that
  // making a Failure never allocates and never throws.
  explicit Failure(std::int32_t number, std::uint32_t system_error = 0,
                   const char* step = nullptr) noexcept;
  std::int32_t number() const noexcept { return number_; }
  // The platform's error code (GetLastError) where a platform call failed; 0
  // where the failure is the library's own.
  std::uint32_t system_error() const noexcept { return system_error_; }
  // One line of UTF-8: the failure's number and name, the step, and the
  // platform's error code with the system's text for it (on Windows), as
  //   vantrel failure 5 (invalid call) at GetWindowRect; system error 1400: Invalid window handle.
  // Cut short, never mid-character, where it would not fit.
  const char* what() const noexcept override { return message_; }

 private:
  std::int32_t number_;
  std::uint32_t system_error_;
  char message_[256];
};

}  // namespace vantrel

// One mechanism for every failure in the model: a failing step throws a
// Failure carrying a number; callers pick the mode the procedure runs in.
//  - Attempt(step): skip-on-failure. A failed step is dropped, whatever it was
//    to store keeps its earlier value, and the caller goes on.
//  - Guard(condition): a condition that fails to evaluate counts as true, so
//    the step it guards runs.
//  - AttemptNumbered(step): as Attempt, but hands back the failure's number
//    for procedures whose handler decides by number.
// Running out of memory inside a step is a failure of that step.
#pragma once

#include <cstdint>
#include <exception>
#include <utility>

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
  explicit Failure(std::int32_t number) noexcept : number_(number) {}
  std::int32_t number() const noexcept { return number_; }
  const char* what() const noexcept override;

 private:
  std::int32_t number_;
};

[[noreturn]] void Fail(std::int32_t number);

// The number of the exception being handled; call only inside a catch block.
std::int32_t HandledFailureNumber() noexcept;

template <class Step>
std::int32_t AttemptNumbered(Step&& step) noexcept {
  try {
    std::forward<Step>(step)();
    return kNoFailure;
  } catch (...) {
    return HandledFailureNumber();
  }
}

template <class Step>
bool Attempt(Step&& step) noexcept {
  return AttemptNumbered(std::forward<Step>(step)) == kNoFailure;
}

template <class Condition>
bool Guard(Condition&& condition) noexcept {
  bool holds = true;
  Attempt([&] { holds = std::forward<Condition>(condition)(); });
  return holds;
}

}  // namespace vantrel

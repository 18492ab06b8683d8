// One mechanism for every failure in the library: a failing step throws a
// Failure carrying a number; callers pick the mode the procedure runs in.
//  - Attempt(step): skip-on-failure. A failed step is dropped, whatever it was
//    to store keeps its earlier value, and the caller goes on.
//  - Guard(condition): a condition that fails to evaluate counts as true, so
//    the step it guards runs.
//  - AttemptNumbered(step): as Attempt, but hands back the failure's number
//    for procedures whose handler decides by number.
// A failure is a Failure or running out of memory (std::bad_alloc, number
// kOutOfMemory). Any other exception is a bug: it is not caught here, so it
// ends the program at the noexcept boundary instead of becoming a skipped step.
#pragma once

#include <cstdint>
#include <new>
#include <utility>

#include "vantrel/base/failure.h"

namespace vantrel {

// `step`, where a platform call failed: that function's name (see Failure).
[[noreturn]] void Fail(std::int32_t number, std::uint32_t system_error = 0,
                       const char* step = nullptr);

template <class Step>
std::int32_t AttemptNumbered(Step&& step) noexcept {
  try {
    std::forward<Step>(step)();
    return kNoFailure;
  } catch (const Failure& f) {
    return f.number();
  } catch (const std::bad_alloc&) {
    return kOutOfMemory;
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

// Signed 32-bit arithmetic of the model: every addition and subtraction is
// checked, and a value that does not fit is an overflow failure, never a
// wrapped number.
#pragma once

#include <cstdint>

#include "vantrel/base/attempt.h"

namespace vantrel {

// Inline: the model adds and subtracts on every record, and a call costs more
// than the check.
inline std::int32_t CheckedAdd(std::int32_t a, std::int32_t b) {
  std::int32_t r;
  if (__builtin_add_overflow(a, b, &r)) Fail(kOverflow);
  return r;
}

inline std::int32_t CheckedSub(std::int32_t a, std::int32_t b) {
  std::int32_t r;
  if (__builtin_sub_overflow(a, b, &r)) Fail(kOverflow);
  return r;
}

// Nearest integer, an exact half to the even neighbour; NaN or a value out of
// range is an overflow failure.
std::int32_t Nearest(double v);

// Halves toward zero (-301 gives -150).
constexpr std::int32_t Halve(std::int32_t n) { return n / 2; }

// A double-precision result that is not a finite number fails the step.
double CheckedFinite(double v);

// Narrowed to single precision; a value beyond its range is an overflow.
float CheckedSingle(double v);

}  // namespace vantrel

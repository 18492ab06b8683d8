#include "vantrel/base/checked_math.h"

#include <cmath>
#include <limits>

#include "vantrel/base/attempt.h"

namespace vantrel {

std::int32_t Nearest(double v) {
  if (std::isnan(v)) Fail(kOverflow);
  // Round half to even without depending on the current rounding mode.
  double r = std::round(v);
  if (std::fabs(v - std::trunc(v)) == 0.5) r = 2.0 * std::round(v / 2.0);
  if (r < -2147483648.0 || r > 2147483647.0) Fail(kOverflow);
  return static_cast<std::int32_t>(r);
}

float CheckedSingle(double v) {
  if (!(std::fabs(v) <= std::numeric_limits<float>::max())) Fail(kOverflow);
  return static_cast<float>(v);
}

double CheckedFinite(double v) {
  if (!std::isfinite(v)) Fail(kOverflow);
  return v;
}

}  // namespace vantrel

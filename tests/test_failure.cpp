#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <new>

#include "vantrel/base/attempt.h"
#include "vantrel/base/checked_math.h"

namespace vantrel {
namespace {

std::int32_t NumberOf(void (*step)()) { return AttemptNumbered(step); }

TEST(CheckedMath, AddAndSubFailAtTheEdgesOnly) {
  EXPECT_EQ(CheckedAdd(INT32_MAX - 1, 1), INT32_MAX);
  EXPECT_EQ(CheckedSub(0, INT32_MAX), -INT32_MAX);
  EXPECT_EQ(CheckedSub(-1, INT32_MAX), INT32_MIN);
  EXPECT_EQ(NumberOf([] { CheckedAdd(INT32_MAX, 1); }), kOverflow);
  EXPECT_EQ(NumberOf([] { CheckedAdd(INT32_MIN, -1); }), kOverflow);
  EXPECT_EQ(NumberOf([] { CheckedSub(INT32_MIN, 1); }), kOverflow);
  EXPECT_EQ(NumberOf([] { CheckedSub(0, INT32_MIN); }), kOverflow);
}

TEST(CheckedMath, NearestRoundsHalvesToEven) {
  EXPECT_EQ(Nearest(2.5), 2);
  EXPECT_EQ(Nearest(3.5), 4);
  EXPECT_EQ(Nearest(-2.5), -2);
  EXPECT_EQ(Nearest(-3.5), -4);
  EXPECT_EQ(Nearest(2.4999), 2);
  EXPECT_EQ(Nearest(-0.6), -1);
  EXPECT_EQ(Nearest(2147483647.4), INT32_MAX);
  EXPECT_EQ(Nearest(-2147483648.5), INT32_MIN);
  EXPECT_EQ(NumberOf([] { Nearest(2147483647.5); }), kOverflow);
  EXPECT_EQ(NumberOf([] { Nearest(-2147483649.0); }), kOverflow);
  EXPECT_EQ(NumberOf([] { Nearest(std::nan("")); }), kOverflow);
  EXPECT_EQ(NumberOf([] { Nearest(INFINITY); }), kOverflow);
}

TEST(CheckedMath, HalveTruncatesTowardZero) {
  EXPECT_EQ(Halve(301), 150);
  EXPECT_EQ(Halve(-301), -150);
  EXPECT_EQ(Halve(INT32_MIN), INT32_MIN / 2);
}

TEST(FailureModes, AFailedStepKeepsTheEarlierValueAndTheCallerGoesOn) {
  std::int32_t target = 7;
  EXPECT_FALSE(Attempt([&] { target = CheckedAdd(INT32_MAX, 1); }));
  EXPECT_EQ(target, 7);
  EXPECT_TRUE(Attempt([&] { target = 8; }));
  EXPECT_EQ(target, 8);
}

TEST(FailureModes, AConditionThatFailsRunsTheGuardedStep) {
  EXPECT_TRUE(Guard([] { return CheckedAdd(INT32_MAX, 1) > 0; }));
  EXPECT_FALSE(Guard([] { return false; }));
}

TEST(FailureModes, EveryKindOfFailureCarriesANumber) {
  EXPECT_EQ(NumberOf([] { Fail(kFunctionMissing); }), kFunctionMissing);
  EXPECT_EQ(NumberOf([] { throw std::bad_alloc(); }), kOutOfMemory);
  EXPECT_EQ(NumberOf([] {}), kNoFailure);
}

}  // namespace
}  // namespace vantrel

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <new>
#include <stdexcept>

#include "vantrel/base/attempt.h"
#include "vantrel/base/checked_math.h"
#include "vantrel/monitors/clsMonitors.h"

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
  try {
    Fail(kInvalidCall, 1400);
  } catch (const Failure& f) {
    EXPECT_EQ(f.number(), kInvalidCall);
    EXPECT_EQ(f.system_error(), 1400u);
  }
}

// A service with a bug in it, once broken: it throws what no failure mode
// names.
class BuggyService final : public platform::DisplayService {
 public:
  bool broken = false;
  std::int32_t GetSystemMetrics(std::int32_t) override {
    if (broken) throw std::logic_error("bug");
    return 0;
  }
  std::int32_t EnumDisplayDevicesA(const char*, std::int32_t, platform::DisplayDeviceRecord&,
                                   std::int32_t) override {
    return 0;
  }
  std::int32_t EnumDisplaySettingsA(const char*, std::int32_t,
                                    platform::DeviceModeRecord&) override {
    return 0;
  }
  std::int32_t MonitorFromPoint(std::int32_t, std::int32_t, std::int32_t) override { return 0; }
  std::int32_t MonitorFromRect(const platform::Rect&, std::int32_t) override { return 0; }
  std::int32_t MonitorFromWindow(std::int32_t, std::int32_t) override { return 0; }
  std::int32_t GetMonitorInfoA(std::int32_t, platform::MonitorInfoRecord&) override { return 0; }
};

// Only a Failure and running out of memory are failures a step may skip. Any
// other exception is a bug: a member that may fail passes it on untouched,
// and one that never fails ends the program rather than skip the step as if
// nothing were wrong.
TEST(FailureModes, AnyOtherExceptionIsABugAndNotSkipped) {
  BuggyService service;
  clsMonitors list(service);
  service.broken = true;
  EXPECT_THROW(list.DesktopLeft(), std::logic_error);
#if GTEST_HAS_DEATH_TEST && !defined(_WIN32)
  // Under Wine an abort would start the crash debugger, so natively only.
  EXPECT_DEATH(list.Refresh(), "");
  EXPECT_DEATH(Attempt([] { throw std::logic_error("bug"); }), "");
#endif
}

}  // namespace
}  // namespace vantrel

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <new>
#include <stdexcept>
#include <string>
#include <utility>

#include "vantrel/base/attempt.h"
#include "vantrel/base/checked_math.h"
#include "vantrel/monitors/clsMonitors.h"

namespace vantrel {
namespace {

std::int32_t NumberOf(void (*step)()) { return AttemptNumbered(step); }

#ifdef _WIN32
constexpr bool kWindows = true;
#else
constexpr bool kWindows = false;
#endif

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

// Natively a system error has no text; under Wine it follows the number. Too
// long, a message is cut before a character that would not fit whole (36
// bytes of its own, then two-byte ones), and nothing follows the cut.
TEST(FailureMessages, NameTheFailureTheStepAndTheSystemError) {
  std::string step;
  for (int k = 0; k < 200; ++k) step += "\xC3\xA9";
  const std::pair<Failure, std::string> cases[] = {
      {Failure(kOverflow, 0, ""), "vantrel failure 6 (overflow)"},
      {Failure(kInvalidCall, 1400, "GetWindowRect"),
       "vantrel failure 5 (invalid call) at GetWindowRect; system error 1400" +
           std::string(kWindows ? ": Invalid window handle." : "")},
      {Failure(kInvalidCall, 5, step.c_str()),
       "vantrel failure 5 (invalid call) at " + step.substr(0, 218)},
  };
  for (const auto& [failure, text] : cases) EXPECT_EQ(failure.what(), text);
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
  std::int32_t MonitorFromRect(const Rect&, std::int32_t) override { return 0; }
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

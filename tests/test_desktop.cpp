#include <gtest/gtest.h>

#include <climits>
#include <vector>

#include "simulated_display_service.h"
#include "vantrel/base/attempt.h"
#include "vantrel/monitors/clsMonitors.h"

namespace vantrel {
namespace {

using namespace platform;

std::vector<std::int32_t> MetricsAsked(SimulatedDisplayService& svc) {
  std::vector<std::int32_t> out;
  for (const auto& c : svc.CallsOf(Function::GetSystemMetrics)) out.push_back(c.a);
  svc.calls.clear();
  return out;
}

// Left of the primary and above it; the virtual screen starts negative.
SimulatedLayout ThreeMonitors() {
  return SimulatedLayout::ForMonitors(
      {{0, 0, 1280, 1024}, {-1024, 100, 0, 868}, {1280, -200, 2304, 568}});
}

TEST(DesktopMetrics, AreTheVirtualScreenWhenMonitorsAreReported) {
  SimulatedDisplayService svc(ThreeMonitors());
  clsMonitors list(svc);
  svc.calls.clear();
  EXPECT_EQ(list.DesktopLeft(), -1024);
  EXPECT_EQ(MetricsAsked(svc), (std::vector{SM_CMONITORS, SM_XVIRTUALSCREEN}));
  EXPECT_EQ(list.DesktopTop(), -200);
  EXPECT_EQ(MetricsAsked(svc), (std::vector{SM_CMONITORS, SM_YVIRTUALSCREEN}));
  EXPECT_EQ(list.DesktopWidth(), 3328);
  EXPECT_EQ(MetricsAsked(svc), (std::vector{SM_CXSCREEN, SM_CMONITORS, SM_CXVIRTUALSCREEN}));
  EXPECT_EQ(list.DesktopHeight(), 1224);
  EXPECT_EQ(MetricsAsked(svc), (std::vector{SM_CYSCREEN, SM_CMONITORS, SM_CYVIRTUALSCREEN}));
}

TEST(DesktopMetrics, AreThePrimaryScreenWithoutMultiMonitorSupport) {
  SimulatedDisplayService svc;
  svc.layout().metrics = {{SM_CMONITORS, 0},
                          {SM_CXSCREEN, 800},
                          {SM_CYSCREEN, 600},
                          {SM_XVIRTUALSCREEN, -5},
                          {SM_CXVIRTUALSCREEN, 9999}};
  clsMonitors list(svc);
  svc.calls.clear();
  EXPECT_EQ(list.DesktopLeft(), 0);
  EXPECT_EQ(MetricsAsked(svc), (std::vector{SM_CMONITORS}));
  EXPECT_EQ(list.DesktopTop(), 0);
  EXPECT_EQ(list.DesktopWidth(), 800);
  MetricsAsked(svc);
  EXPECT_EQ(list.DesktopHeight(), 600);
  EXPECT_EQ(MetricsAsked(svc), (std::vector{SM_CYSCREEN, SM_CMONITORS}));
}

TEST(DesktopMetrics, AFailureReachesTheCaller) {
  SimulatedDisplayService svc(ThreeMonitors());
  clsMonitors list(svc);
  svc.missing = {Function::GetSystemMetrics};
  EXPECT_EQ(AttemptNumbered([&] { list.DesktopWidth(); }), kFunctionMissing);
}

TEST(MonitorLookup, FindsThePixelOrWhatTheFlagsAskFor) {
  SimulatedDisplayService svc(ThreeMonitors());
  clsMonitors list(svc);
  EXPECT_EQ(list.GetMonitorFromXYPoint(-1, 100, MONITOR_DEFAULTTONULL), 0x10002);
  EXPECT_EQ(list.GetMonitorFromXYPoint(1280, -200, MONITOR_DEFAULTTONULL), 0x10003);
  // (-10, 95) lies on no monitor, 5 pixels above the left one.
  EXPECT_EQ(list.GetMonitorFromXYPoint(-10, 95, MONITOR_DEFAULTTONULL), 0);
  EXPECT_EQ(list.GetMonitorFromXYPoint(-10, 95, MONITOR_DEFAULTTOPRIMARY), 0x10001);
  EXPECT_EQ(list.GetMonitorFromXYPoint(-10, 95, MONITOR_DEFAULTTONEAREST), 0x10002);
  // The lookup goes through the pixel's rectangle.
  svc.calls.clear();
  list.GetMonitorFromXYPoint(7, 9, MONITOR_DEFAULTTONULL);
  ASSERT_EQ(svc.calls.size(), 1u);
  EXPECT_EQ(svc.calls[0], (Call{Function::MonitorFromRect, 7, 9, ""}));
}

TEST(MonitorLookup, APixelWhoseRectangleOverflowsIsOnNoMonitor) {
  SimulatedDisplayService svc(ThreeMonitors());
  clsMonitors list(svc);
  for (std::int32_t flags :
       {MONITOR_DEFAULTTONULL, MONITOR_DEFAULTTOPRIMARY, MONITOR_DEFAULTTONEAREST}) {
    EXPECT_EQ(list.GetMonitorFromXYPoint(INT32_MAX, 0, flags), 0) << flags;
    EXPECT_EQ(list.GetMonitorFromXYPoint(0, INT32_MAX, flags), 0) << flags;
  }
  // The lowest pixel is an ordinary lookup.
  EXPECT_EQ(list.GetMonitorFromXYPoint(INT32_MIN, INT32_MIN, MONITOR_DEFAULTTOPRIMARY), 0x10001);
  EXPECT_EQ(svc.calls.back(), (Call{Function::MonitorFromRect, INT32_MIN, INT32_MIN, ""}));
}

TEST(MonitorLookup, WindowsAreLookedUpWithTheFlagsGiven) {
  SimulatedDisplayService svc(ThreeMonitors());
  svc.layout().windows[42] = {-500, 200, -100, 400};
  clsMonitors list(svc);
  EXPECT_EQ(list.GetMonitorFromWindow(42, MONITOR_DEFAULTTONULL), 0x10002);
  EXPECT_EQ(list.GetMonitorFromWindow(7, MONITOR_DEFAULTTONULL), 0);
  EXPECT_EQ(list.GetMonitorFromWindow(7, MONITOR_DEFAULTTOPRIMARY), 0x10001);
  EXPECT_EQ(svc.calls.back(), (Call{Function::MonitorFromWindow, 7, MONITOR_DEFAULTTOPRIMARY, ""}));
}

TEST(MonitorLookup, AMissingFunctionAnswersZeroOnEveryCall) {
  SimulatedDisplayService svc(ThreeMonitors());
  clsMonitors list(svc);
  svc.calls.clear();
  svc.missing = {Function::MonitorFromRect, Function::MonitorFromWindow};
  for (int k = 0; k < 2; ++k) {
    EXPECT_EQ(list.GetMonitorFromXYPoint(1, 1, MONITOR_DEFAULTTOPRIMARY), 0);
    EXPECT_EQ(list.GetMonitorFromWindow(1, MONITOR_DEFAULTTOPRIMARY), 0);
  }
  EXPECT_TRUE(svc.CallsOf(Function::MonitorFromPoint).empty());
}

}  // namespace
}  // namespace vantrel

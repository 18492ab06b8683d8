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

// The model asks for the one pixel's rectangle with the flags as given and
// answers what the service answers; where the answer comes from is the
// service's business.
TEST(MonitorLookup, AsksForThePixelsRectangleAndPassesTheAnswerOn) {
  SimulatedDisplayService svc(ThreeMonitors());
  clsMonitors list(svc);
  const Point pixels[] = {{7, 9}, {-1, 100}, {-10, 95}, {INT32_MIN, INT32_MIN}, {INT32_MAX - 1, 0}};
  for (const Point& p : pixels) {
    for (std::int32_t flags :
         {MONITOR_DEFAULTTONULL, MONITOR_DEFAULTTOPRIMARY, MONITOR_DEFAULTTONEAREST}) {
      const Rect pixel{p.x, p.y, p.x + 1, p.y + 1};
      svc.calls.clear();
      const std::int32_t found = list.GetMonitorFromXYPoint(p.x, p.y, flags);
      ASSERT_EQ(svc.calls.size(), 1u);
      EXPECT_EQ(svc.calls[0].function, Function::MonitorFromRect);
      EXPECT_EQ(svc.calls[0].rect, pixel);
      EXPECT_EQ(svc.calls[0].flags, flags);
      EXPECT_EQ(found, svc.MonitorFromRect(pixel, flags)) << p.x << "," << p.y << " " << flags;
    }
  }
}

TEST(MonitorLookup, AsksForTheWindowWithTheFlagsGivenAndPassesTheAnswerOn) {
  SimulatedDisplayService svc(ThreeMonitors());
  svc.layout().windows[42] = {-500, 200, -100, 400};
  clsMonitors list(svc);
  for (std::int32_t hwnd : {42, 7, -3}) {
    for (std::int32_t flags :
         {MONITOR_DEFAULTTONULL, MONITOR_DEFAULTTOPRIMARY, MONITOR_DEFAULTTONEAREST}) {
      svc.calls.clear();
      const std::int32_t found = list.GetMonitorFromWindow(hwnd, flags);
      ASSERT_EQ(svc.calls.size(), 1u);
      EXPECT_EQ(svc.calls[0], (Call{Function::MonitorFromWindow, hwnd, flags, ""}));
      EXPECT_EQ(found, svc.MonitorFromWindow(hwnd, flags));
    }
  }
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

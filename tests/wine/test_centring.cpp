// Centring and the desktop metrics against the real user32, on the layout the
// test scripts set up (under Wine: three monitors, the primary with a bar on
// its left edge). Expected figures come from the environment:
//   VANTREL_DESKTOP="left,top,width,height"  the virtual screen
//   VANTREL_PRIMARY_BAR=N                    the primary's work area starts N
//                                            pixels right of its left edge
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

#include "vantrel/monitors/clsMonitors.h"
#include "vantrel/platform/user32_display_service.h"
#include "vantrel/win32/win32_toolkit.h"

namespace vantrel {
namespace {

using namespace ui;

struct Monitor {
  RECT bounds, work;
  bool primary;
};

BOOL CALLBACK Collect(HMONITOR h, HDC, LPRECT, LPARAM out) {
  MONITORINFO mi{};
  mi.cbSize = sizeof mi;
  GetMonitorInfoW(h, &mi);
  reinterpret_cast<std::vector<Monitor>*>(out)->push_back(
      {mi.rcMonitor, mi.rcWork, (mi.dwFlags & MONITORINFOF_PRIMARY) != 0});
  return TRUE;
}

std::vector<Monitor> Monitors() {
  std::vector<Monitor> out;
  EnumDisplayMonitors(nullptr, nullptr, Collect, reinterpret_cast<LPARAM>(&out));
  return out;
}

class Window {
 public:
  // Hidden: nothing waits on the X server, and the rectangles are the same.
  Window(int x, int y, int w, int h) {
    hwnd_ = CreateWindowExW(WS_EX_TOOLWINDOW, L"STATIC", L"", WS_POPUP, x, y, w, h, nullptr,
                            nullptr, GetModuleHandleW(nullptr), nullptr);
  }
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;
  ~Window() { DestroyWindow(hwnd_); }
  HWND get() const { return hwnd_; }
  POINT Centre() const {
    RECT rc{};
    GetWindowRect(hwnd_, &rc);
    return {(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2};
  }

 private:
  HWND hwnd_;
};

void ExpectCentredOn(const Window& w, const RECT& work) {
  const POINT c = w.Centre();
  EXPECT_NEAR(c.x, (work.left + work.right) / 2, 1);
  EXPECT_NEAR(c.y, (work.top + work.bottom) / 2, 1);
}

TEST(Centring, OnEveryMonitorsWorkArea) {
  clsMonitors list(platform::User32DisplayService(), &SystemScreen());
  const auto monitors = Monitors();
  ASSERT_FALSE(monitors.empty());
  for (const Monitor& m : monitors) {
    Window reference(m.bounds.left + 10, m.bounds.top + 10, 50, 50);
    Window target(0, 0, 300, 200);
    Win32Form ref_form(reference.get(), SystemScreen());
    Win32Form form(target.get(), SystemScreen());
    EXPECT_FALSE(list.CenterFormOnMonitor(form, Value{static_cast<const Object*>(&ref_form)}));
    ExpectCentredOn(target, m.work);
  }
}

TEST(Centring, WithoutAReferenceOnThePrimarysWorkArea) {
  clsMonitors list(platform::User32DisplayService(), &SystemScreen());
  for (const Monitor& m : Monitors()) {
    if (!m.primary) continue;
    if (const char* bar = std::getenv("VANTREL_PRIMARY_BAR")) {
      // The layout gives the primary a bar on its left edge: the case where
      // the work area's corner and the monitor's differ.
      ASSERT_EQ(m.work.left - m.bounds.left, std::atoi(bar));
    }
    Window target(0, 0, 300, 200);
    Win32Form form(target.get(), SystemScreen());
    list.CenterFormOnMonitor(form);
    ExpectCentredOn(target, m.work);
  }
}

TEST(DesktopMetrics, AreTheVirtualScreen) {
  const char* expected = std::getenv("VANTREL_DESKTOP");
  if (!expected) GTEST_SKIP() << "VANTREL_DESKTOP not given";
  int left, top, width, height;
  ASSERT_EQ(std::sscanf(expected, "%d,%d,%d,%d", &left, &top, &width, &height), 4);
  clsMonitors list(platform::User32DisplayService(), &SystemScreen());
  EXPECT_EQ(list.DesktopLeft(), left);
  EXPECT_EQ(list.DesktopTop(), top);
  EXPECT_EQ(list.DesktopWidth(), width);
  EXPECT_EQ(list.DesktopHeight(), height);
}

TEST(MonitorLookup, FindsEachMonitorByItsPixels) {
  clsMonitors list(platform::User32DisplayService(), &SystemScreen());
  for (const Monitor& m : Monitors()) {
    const auto h =
        list.GetMonitorFromXYPoint(m.bounds.right - 1, m.bounds.bottom - 1, MONITOR_DEFAULTTONULL);
    EXPECT_EQ(h, list.GetMonitorFromXYPoint(m.bounds.left, m.bounds.top, MONITOR_DEFAULTTONULL));
    EXPECT_NE(h, 0);
  }
  EXPECT_EQ(list.GetMonitorFromXYPoint(INT32_MAX, 0, MONITOR_DEFAULTTOPRIMARY), 0);
}

}  // namespace
}  // namespace vantrel

// A window's place against Wine's user32 on the three-monitor layout, the
// primary's work area starting 100 pixels right of its edge
// (run-on-layout.sh --primary-bar 100 three): EnsureVisible, and saving and
// restoring where the work area is not the monitor's corner. The display
// facts themselves are checked against the layout in test_displays.cpp.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>

#include "vantrel/displays/placement.h"
#include "vantrel/platform/normal_coordinates.h"

namespace vantrel {
namespace {

void Pump(DWORD ms) {
  const DWORD end = GetTickCount() + ms;
  MSG msg;
  do {
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    Sleep(10);
  } while (GetTickCount() < end);
}

// Left to the end of the process: under Wine without a window manager,
// hiding or destroying a shown window with a frame waits two seconds for the
// manager that is not there.
class Window {
 public:
  explicit Window(const Rect& r, DWORD show = SW_HIDE) {
    hwnd_ = CreateWindowExW(0, L"STATIC", L"placement", WS_OVERLAPPEDWINDOW, r.left, r.top,
                            r.right - r.left, r.bottom - r.top, nullptr, nullptr,
                            GetModuleHandleW(nullptr), nullptr);
    ShowWindow(hwnd_, static_cast<int>(show));
    Pump(show == SW_HIDE ? 0 : 200);
  }
  HWND get() const { return hwnd_; }
  Rect rect() const {
    RECT rc{};
    GetWindowRect(hwnd_, &rc);
    return {rc.left, rc.top, rc.right, rc.bottom};
  }

 private:
  HWND hwnd_;
};

bool Within(const Rect& r, const Rect& work) {
  return r.left >= work.left && r.top >= work.top && r.right <= work.right &&
         r.bottom <= work.bottom;
}

TEST(WinePlacement, EnsureVisibleMovesOnlyAWindowWhoseTitleBarNoDisplayShows) {
  const Displays displays = Displays::Take();
  ASSERT_EQ(displays.size(), 3u);
  const Rect& right = displays[2].bounds;
  // Off every display: above them all, below the right one, far right.
  for (const Rect r :
       {Rect{-3000, -3000, -2600, -2700},
        Rect{right.left + 100, right.bottom + 50, right.left + 500, right.bottom + 350},
        Rect{right.right + 500, 100, right.right + 900, 400}}) {
    Window w(r, SW_SHOWNOACTIVATE);
    ASSERT_EQ(w.rect(), r) << "Wine moved the window itself";
    EXPECT_EQ(*EnsureVisible(w.get()), Visibility::kMoved);
    const Rect moved = w.rect();
    EXPECT_EQ(moved.right - moved.left, 400);
    EXPECT_EQ(moved.bottom - moved.top, 300);
    EXPECT_TRUE(
        std::ranges::any_of(displays, [&](const Display& d) { return Within(moved, d.work_area); }))
        << moved.left << "," << moved.top;
    EXPECT_EQ(*EnsureVisible(w.get()), Visibility::kAlreadyInView);
  }
  // Title bars that show: half off a display's bottom, across two displays,
  // 60 pixels right of the primary's bar.
  const Rect& primary = displays.Primary()->work_area;
  for (const Rect r :
       {Rect{right.left + 100, right.bottom - 40, right.left + 500, right.bottom + 260},
        Rect{right.left - 200, 100, right.left + 200, 400},
        Rect{primary.left - 340, 100, primary.left + 60, 400}}) {
    Window w(r, SW_SHOWNOACTIVATE);
    EXPECT_EQ(*EnsureVisible(w.get()), Visibility::kAlreadyInView);
    EXPECT_EQ(w.rect(), r);
  }
}

TEST(WinePlacement, SavedAndRestoredOnAPrimaryWithABar) {
  const Displays displays = Displays::Take();
  const Display* primary = displays.Primary();
  ASSERT_NE(primary, nullptr);
  // Over the primary's right edge, mostly on the primary: the bar's 100
  // pixels added where they do not belong would put it mostly on the right.
  const Rect r{primary->bounds.right - 280, 200, primary->bounds.right + 120, 500};
  ASSERT_NE(primary->work_area.left, primary->bounds.left) << "no bar on the primary";

  Window shown(r, SW_SHOWNOACTIVATE);
  const WindowPlacement saved = SavePlacement(shown.get()).value();
  EXPECT_EQ(saved, (WindowPlacement{primary->key, r, primary->work_area, primary->dpi}));
  // Wine keeps normal rectangles in screen coordinates, and a window shown
  // normally on a work area off its monitor's corner says so.
  EXPECT_EQ(platform::LearntConvention(), platform::NormalCoordinates::kScreen);

  // Minimized, it is saved where it will be restored to.
  ShowWindow(shown.get(), SW_SHOWMINNOACTIVE);
  EXPECT_EQ(SavePlacement(shown.get()).value(), saved);
  const Display* of = displays.OfWindow(shown.get(), Fallback::kNone);
  ASSERT_NE(of, nullptr);
  EXPECT_EQ(of->key, primary->key);

  for (const WindowState state : {WindowState::kNormal, WindowState::kMaximized}) {
    Window fresh({0, 0, 300, 200});
    WindowPlacement wanted = saved;
    wanted.state = state;
    ASSERT_TRUE(RestorePlacement(fresh.get(), wanted).has_value());
    Pump(300);
    EXPECT_TRUE(IsWindowVisible(fresh.get()));
    EXPECT_EQ(IsZoomed(fresh.get()) != FALSE, state == WindowState::kMaximized);
    EXPECT_EQ(SavePlacement(fresh.get()).value(), wanted);
    if (state == WindowState::kNormal) {
      EXPECT_EQ(fresh.rect(), r);
    }
  }
}

}  // namespace
}  // namespace vantrel

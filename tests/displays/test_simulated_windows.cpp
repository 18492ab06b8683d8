// The simulated system's windows of other programs, where the desktop
// memory's tests lean on it: where a display that leaves puts its windows,
// and which window is on top and in the foreground after each call.
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "simulated_system.h"

namespace vantrel::platform {
namespace {

namespace show = show_command;

// A primary with a bar of 100 pixels on its left edge and a display right of it.
SimulatedDisplays TwoDisplays() {
  auto layout = SimulatedDisplays::FromRects({{0, 0, 1280, 1024}, {1280, 0, 2304, 768}});
  layout.displays[0].work_area = {100, 0, 1280, 1024};
  return layout;
}

const Rect kOnRight{1480, 150, 1880, 450};

// clang-format off
TEST(SimulatedWindows, ThoseOfADisplayThatLeavesGoWhereTheSystemPutsThem) {
  const Rect on_right = kOnRight;
  const Rect moved{300, 150, 700, 450};
  const Rect minimized{-32000, -32000, -31840, -31973};
  using OnLeave = SimulatedSystem::OnLeave;
  struct Case {
    const char* what;
    OnLeave on_leave;
    bool detached;  // else removed through Change
    SimulatedWindow before;
    SimulatedWindow after;
  } cases[] = {
      {"normal: same offset from the work area", OnLeave::kToPrimary, true,
       {on_right, on_right}, {moved, moved}},
      {"too far right: kept inside", OnLeave::kToPrimary, true,
       {{1480, 100, 2580, 400}, {1480, 100, 2580, 400}}, {{180, 100, 1280, 400}, {180, 100, 1280, 400}}},
      {"maximized: maximized on the primary", OnLeave::kToPrimary, true,
       {{1280, 0, 2304, 768}, on_right, show::kMaximized},
       {{100, 0, 1280, 1024}, moved, show::kMaximized}},
      {"minimized: stays so", OnLeave::kToPrimary, false,
       {minimized, on_right, show::kMinimized}, {minimized, moved, show::kMinimized}},
      {"on the primary: untouched", OnLeave::kToPrimary, true,
       {{200, 10, 600, 300}, {200, 10, 600, 300}}, {{200, 10, 600, 300}, {200, 10, 600, 300}}},
      {"Wine: maximized, restored off every display", OnLeave::kWine, false,
       {{1280, 0, 2304, 768}, on_right, show::kMaximized}, {on_right, on_right}},
  };
  for (const Case& c : cases) {
    SimulatedSystem system(TwoDisplays());
    system.on_leave = c.on_leave;
    system.layout().windows[7] = c.before;
    if (c.detached) {
      ASSERT_EQ(system.ChangeSettings("\\\\.\\DISPLAY2", SettingsChange{false, {}, {}}, 0),
                change_result::kSuccessful);
    } else {
      system.Change([](SimulatedDisplays& l) { l.displays.pop_back(); });
    }
    const SimulatedWindow& w = system.layout().windows[7];
    EXPECT_EQ(w.rect, c.after.rect) << c.what;
    EXPECT_EQ(w.normal, c.after.normal) << c.what;
    EXPECT_EQ(w.show, c.after.show) << c.what;
  }
}
// clang-format on

// clang-format off
TEST(SimulatedWindows, ActivationRaisesAndTheZOrderFollowsEachCall) {
  struct Case {
    const char* what;
    std::function<CallResult(SimulatedSystem&)> call;
    std::vector<std::uintptr_t> order;
    std::uintptr_t foreground;
  } cases[] = {
      {"shown maximized: activated", [](auto& s) { return s.Show(3, show::kMaximized); }, {3, 1, 2}, 3},
      {"shown without activation", [](auto& s) { return s.Show(3, show::kShowNoActivate); }, {1, 2, 3}, 1},
      {"minimized: the next one takes over", [](auto& s) { return s.Show(1, show::kMinimize); }, {1, 2, 3}, 2},
      {"foreground", [](auto& s) { return s.SetForeground(2); }, {2, 1, 3}, 2},
      {"below another", [](auto& s) { return s.PlaceBelow(1, 3); }, {2, 3, 1}, 1},
      {"to the top", [](auto& s) { return s.PlaceBelow(3, 0); }, {3, 1, 2}, 1},
  };
  for (const Case& c : cases) {
    SimulatedSystem system(TwoDisplays());
    for (const std::uintptr_t h : {1u, 2u, 3u}) system.layout().windows[h] = {kOnRight, kOnRight};
    system.layout().foreground = 1;
    ASSERT_TRUE(c.call(system)) << c.what;
    std::vector<std::uintptr_t> order;
    for (const TopWindowFacts& w : system.TopWindows()) order.push_back(w.handle);
    EXPECT_EQ(order, c.order) << c.what;
    EXPECT_EQ(system.Foreground(), c.foreground) << c.what;
    if (c.foreground == 3) {
      EXPECT_EQ(system.layout().windows[3].rect, (Rect{1280, 0, 2304, 768}));
    }
  }
}
// clang-format on

}  // namespace
}  // namespace vantrel::platform

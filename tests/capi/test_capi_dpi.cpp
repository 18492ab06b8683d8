// The caller's DPI awareness, on the simulated twin (Wine reports every
// process per-monitor aware): the C interface reads physical pixels for a
// caller that is not aware, and gives the thread its own awareness back.
#include <gtest/gtest.h>

#include <string_view>

#include "simulated_system.h"
#include "vantrel/vantrel_c.h"

namespace vantrel::platform {
namespace {

// Two displays side by side at 150 %, and a window on the right one. In the
// scaled pixels an unaware thread is told, the window would lie on the left
// display of a physical snapshot; in a scaled one, on the right again.
constexpr std::uintptr_t kWindow = 0x1234;

SimulatedSystem TwoDisplaysAt150() {
  auto physical = SimulatedDisplays::FromRects({{0, 0, 1920, 1080}, {1920, 0, 3840, 1080}});
  for (auto& d : physical.displays) d.dpi = 144;
  physical.windows[kWindow] = {{2000, 100, 2400, 400}, {2000, 100, 2400, 400}};
  auto scaled = SimulatedDisplays::FromRects({{0, 0, 1280, 720}, {1280, 0, 2560, 720}});
  scaled.windows[kWindow] = {{1333, 66, 1600, 266}, {1333, 66, 1600, 266}};
  return SimulatedSystem(std::move(physical), std::move(scaled));
}

TEST(CapiDpi, CallsRunPerMonitorAwareAndGiveTheCallerItsAwarenessBack) {
  struct Case {
    const char* what;
    bool caller_aware;
    bool can_set_awareness;
    std::int32_t width;  // of the first display, as the snapshot has it
  };
  const Case cases[] = {
      {"an unaware caller (python.exe)", false, true, 1920},
      {"a per-monitor aware caller", true, true, 1920},
      {"a system without thread awareness: what it gives", false, false, 1280},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    SimulatedSystem system = TwoDisplaysAt150();
    system.can_set_awareness = c.can_set_awareness;
    UseSystem(&system);
    SimulatedSystem::per_monitor_aware = c.caller_aware;

    const vantrel_snapshot_options no_modes{sizeof no_modes, 1};
    vantrel_snapshot* snapshot = nullptr;
    ASSERT_EQ(vantrel_snapshot_take(&no_modes, &snapshot), VANTREL_OK);
    EXPECT_EQ(SimulatedSystem::per_monitor_aware, c.caller_aware);
    vantrel_display d{};
    d.size = sizeof d;
    ASSERT_EQ(vantrel_snapshot_display(snapshot, 0, &d), VANTREL_OK);
    EXPECT_EQ(d.bounds.right, c.width);
    std::size_t index = 9;
    EXPECT_EQ(vantrel_snapshot_of_window(snapshot, reinterpret_cast<void*>(kWindow),
                                         VANTREL_FALLBACK_NONE, &index),
              VANTREL_OK);
    EXPECT_EQ(index, 1u);
    EXPECT_EQ(SimulatedSystem::per_monitor_aware, c.caller_aware);
    EXPECT_EQ(vantrel_snapshot_free(snapshot), VANTREL_OK);
    // Freed twice: the message names the call.
    EXPECT_EQ(vantrel_snapshot_free(snapshot), VANTREL_ERROR_BAD_HANDLE);
    EXPECT_EQ(std::string_view(vantrel_last_error_message()).find("vantrel_snapshot_free: "), 0u);
    UseSystem(nullptr);
  }
}

}  // namespace
}  // namespace vantrel::platform

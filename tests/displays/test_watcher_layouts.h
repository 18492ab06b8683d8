// Layouts for the watcher's tests, described by what a change touches, on
// the simulated facts service; each display is known by its number, which
// its adapter's name, handle and monitor path all carry, as under Wine.
#pragma once

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "simulated_system.h"
#include "vantrel/displays/displays.h"

namespace vantrel::testing_layouts {

struct Monitor {
  Monitor(int n, Rect b, bool p = false) : number(n), bounds(b), primary(p) {}
  int number;
  Rect bounds;
  bool primary;
  std::int32_t work_left = 0;  // a task bar this wide on the left edge
  std::uint32_t dpi = 96;
  std::optional<DisplayMode> mode;  // else the bounds' size, 32 bits, 60 Hz
};

struct Layout {
  std::vector<Monitor> monitors;
};

// The end-to-end tests' layout: the primary, one left of it and 100 pixels
// lower, one right of it.
inline Layout ThreeMonitors() {
  return {{{1, {0, 0, 1280, 1024}, true}, {2, {-1024, 100, 0, 868}}, {3, {1280, 0, 2304, 768}}}};
}

inline platform::SimulatedDisplays Simulated(const Layout& layout) {
  std::vector<Rect> rects;
  for (const Monitor& m : layout.monitors) {
    rects.push_back({m.bounds.left, m.bounds.top, m.bounds.right, m.bounds.bottom});
  }
  platform::SimulatedDisplays s = platform::SimulatedDisplays::FromRects(rects);
  for (std::size_t k = 0; k < layout.monitors.size(); ++k) {
    const Monitor& m = layout.monitors[k];
    platform::SimulatedDisplay& d = s.displays[k];
    const std::string n = std::to_string(m.number);
    char path[96];
    std::snprintf(path, sizeof path,
                  "\\\\?\\DISPLAY#Default_Monitor#0000&%04x#{e6f07b5f-ee97-4a90-b076-33f57bf4eaa7}",
                  m.number);
    d.handle = 0x10000 + static_cast<std::uintptr_t>(m.number);
    d.device_name = "\\\\.\\DISPLAY" + n;
    d.primary = m.primary;
    d.work_area.left += m.work_left;
    d.dpi = m.dpi;
    d.target->friendly_name = "Display" + n;
    d.target->device_path = path;
    d.device->device_id = path;
    if (m.mode) {
      d.current_mode = platform::ModeFacts{m.mode->width, m.mode->height, m.mode->bits_per_pixel,
                                           m.mode->frequency, 0};
    }
  }
  return s;
}

inline Displays Snapshot(const platform::SimulatedDisplays& layout) {
  platform::SimulatedSystem service(layout);
  return Displays::Take(service);
}

inline Displays Snapshot(const Layout& layout) { return Snapshot(Simulated(layout)); }

}  // namespace vantrel::testing_layouts

// Windows for the placement's logic to save and restore, on the displays of a
// SimulatedDisplayFacts layout: GetWindowPlacement's normal rectangle in the
// coordinates the simulated system uses (workspace or screen; a tool window's
// always screen), and a window that rescales itself when it lands on a
// display of another DPI, as a per-monitor aware window does on
// WM_DPICHANGED.
#pragma once

#include <map>

#include "simulated_display_facts.h"
#include "vantrel/platform/window_placement_service.h"

namespace vantrel::platform {

struct SimulatedWindow {
  Rect rect;    // GetWindowRect; a maximized window fills its display's work area
  Rect normal;  // screen coordinates
  std::uint32_t show = show_command::kNormal;
  std::uint32_t flags = 0;
  bool tool = false;
};

class SimulatedWindows final : public WindowPlacementService {
 public:
  SimulatedWindows(SimulatedDisplayFacts& facts, NormalCoordinates system)
      : facts_(facts), system_(system) {}

  std::map<std::uintptr_t, SimulatedWindow> windows;
  int set_placements = 0;
  int probes = 0;

  std::optional<PlacementRecord> Placement(std::uintptr_t window) override;
  bool SetPlacement(std::uintptr_t window, const PlacementRecord& placement) override;
  std::optional<Rect> WindowRect(std::uintptr_t window) override;
  bool PlacedOnScreen(std::uintptr_t window) override;
  std::optional<std::uint32_t> WindowDpi(std::uintptr_t window) override;
  bool MoveTo(std::uintptr_t window, const Rect& rect) override;
  std::optional<Rect> ProbeNormalRect(const Rect& rect) override;

 private:
  // The display sharing the most area with the rectangle shifted by that
  // display's own workspace offset (none: unshifted), else the first.
  const SimulatedDisplay& DisplayOf(const Rect& r, bool shifted = false) const;
  SimulatedWindow* Find(std::uintptr_t window);
  // The window lands at `rect`, and rescales itself when its DPI changed.
  void Land(SimulatedWindow& w, const Rect& rect);

  SimulatedDisplayFacts& facts_;
  NormalCoordinates system_;
};

}  // namespace vantrel::platform

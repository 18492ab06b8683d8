// A program that never includes <windows.h>: the installed headers must
// bring none of it (no Windows macro, no Windows type besides the handles'
// declarations) and still offer the whole library. Prints each display as
// "display: left,top,right,bottom", then the monitor list's count and the
// display the monitor list and the snapshot each find at the primary's
// centre; the test script checks them against the layout.
#include <vantrel/vantrel.h>

#include <cstdint>
#include <cstdio>

#if defined(_WINDOWS_) || defined(_WINDOWS_H) || defined(ERROR) || defined(MONITOR_DEFAULTTONEAREST)
#error "a Vantrel header brought in <windows.h>"
#endif

int main() {
  const vantrel::Displays displays = vantrel::Displays::Take({.modes = false});
  for (const vantrel::Display& d : displays) {
    std::printf("display: %d,%d,%d,%d\n", d.bounds.left, d.bounds.top, d.bounds.right,
                d.bounds.bottom);
  }
  const vantrel::Display* primary = displays.Primary();
  if (!primary) return 1;

  vantrel::clsMonitors monitors(vantrel::platform::User32DisplayService(),
                                &vantrel::ui::SystemScreen());
  const int centre_x = primary->bounds.left + static_cast<int>(primary->bounds.width() / 2);
  const int centre_y = primary->bounds.top + static_cast<int>(primary->bounds.height() / 2);
  // The list's handles are the same monitors' handles as the snapshot's.
  const int found =
      monitors.GetMonitorFromXYPoint(centre_x, centre_y, vantrel::kMonitorDefaultToNearest);
  HMONITOR__* const snapshot =
      displays.AtPoint({centre_x, centre_y}, vantrel::Fallback::kNone)->hmonitor();
  std::printf("monitors: %d\n", monitors.Monitors()->Count());
  std::printf(
      "same monitor: %s\n",
      reinterpret_cast<HMONITOR__*>(static_cast<std::intptr_t>(found)) == snapshot ? "yes" : "no");
  return 0;
}

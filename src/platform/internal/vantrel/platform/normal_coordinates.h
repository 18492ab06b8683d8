// A window's normal (restored) rectangle between the coordinates the system
// keeps it in and the screen's: the one conversion of the library.
//
// Windows keeps the normal rectangle of a top-level window in workspace
// coordinates: from the top-left corner of its monitor's work area, which is
// not the monitor's corner when a task bar is docked on the left or at the
// top. A tool window's (WS_EX_TOOLWINDOW) and a child's are in screen
// coordinates. Wine 8 uses screen coordinates for every window. Which one
// the system uses is learnt at run time, once: from a window whose rectangle
// and normal rectangle are both known, or from a hidden window made for the
// purpose.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>

#include "vantrel/geometry.h"

namespace vantrel::platform {

enum class NormalCoordinates : std::uint8_t { kWorkspace, kScreen };

// Where a work area's corner lies from its monitor's: how far workspace
// coordinates are from the screen's.
struct WorkspaceOffset {
  std::int64_t x = 0;
  std::int64_t y = 0;
  bool none() const noexcept { return x == 0 && y == 0; }
};
WorkspaceOffset OffsetOf(const Rect& bounds, const Rect& work_area) noexcept;

// A normal rectangle in the given coordinates to the screen's, and back;
// `offset` is that of the monitor the rectangle belongs to. Saturating.
Rect NormalToScreen(const Rect& normal, NormalCoordinates c, WorkspaceOffset offset) noexcept;
Rect ScreenToNormal(const Rect& screen, NormalCoordinates c, WorkspaceOffset offset) noexcept;

// What a window in its normal state shows of the convention: its rectangle
// and its normal rectangle agree in one of the two ways. Nothing where the
// offset is none (both agree) or neither does (a snapped window, whose
// normal rectangle is its size before it was snapped).
std::optional<NormalCoordinates> ConventionShown(const Rect& window, const Rect& normal,
                                                 WorkspaceOffset offset) noexcept;

// The monitor a normal rectangle belongs to, as the conversion needs it.
struct MonitorAreas {
  Rect bounds;
  Rect work_area;
};

// The conversion for one system, with the convention it learns. Any thread
// may use it.
class NormalConverter {
 public:
  // The normal rectangle the system gives a hidden top-level window made at
  // `rect` (screen) and ended again; absent when none can be made.
  using Probe = std::function<std::optional<Rect>(const Rect& rect)>;
  explicit NormalConverter(Probe probe) : probe_(std::move(probe)) {}

  // A window shown normally: its rectangle and its normal one tell the
  // convention, free.
  void Observe(const Rect& window, const Rect& normal, const MonitorAreas& monitor) noexcept;
  // `on_screen`: a window whose normal rectangle is in screen coordinates
  // whatever the convention (a tool window, a child).
  Rect ToScreen(const Rect& normal, bool on_screen, const MonitorAreas& monitor);
  Rect ToSystem(const Rect& screen, bool on_screen, const MonitorAreas& monitor);

  std::optional<NormalCoordinates> learnt() const noexcept;

 private:
  // Learnt once, from a hidden window made on the work area when nothing has
  // shown it yet. Where the offset is none either answer converts alike and
  // nothing is made. A system that cannot make the window is taken to keep
  // Windows' documented convention, and is asked again next time.
  NormalCoordinates Convention(const MonitorAreas& monitor);

  Probe probe_;
  std::atomic<int> learnt_{-1};
};

#ifdef _WIN32
// What the running system has learnt of its convention so far.
std::optional<NormalCoordinates> LearntConvention() noexcept;
#endif

}  // namespace vantrel::platform

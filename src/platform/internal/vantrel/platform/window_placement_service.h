// The window calls a window's place is saved and restored with, as plain
// data, and the one conversion of a window's normal (restored) rectangle
// between the coordinates the system keeps it in and the screen's.
//
// Windows keeps the normal rectangle of a top-level window in workspace
// coordinates: from the top-left corner of its monitor's work area, which is
// not the monitor's corner when a task bar is docked on the left or at the
// top. A tool window's (WS_EX_TOOLWINDOW) is in screen coordinates. Wine 8
// uses screen coordinates for every window. Which one the system uses is
// learnt at run time: from a window whose rectangle and normal rectangle are
// both known, or from a hidden window made for the purpose.
#pragma once

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <optional>

#include "vantrel/platform/display_service.h"

namespace vantrel::platform {

// WINDOWPLACEMENT's show commands and flag, as Windows numbers them.
namespace show_command {
inline constexpr std::uint32_t kNormal = 1;  // SW_SHOWNORMAL
inline constexpr std::uint32_t kMinimized = 2;
inline constexpr std::uint32_t kMaximized = 3;
inline constexpr std::uint32_t kMinimize = 6;             // SW_MINIMIZE
inline constexpr std::uint32_t kMinimizedNoActivate = 7;  // SW_SHOWMINNOACTIVE
}  // namespace show_command
inline constexpr std::uint32_t kRestoreToMaximized = 2;  // WPF_RESTORETOMAXIMIZED

// GetWindowPlacement's record; `normal` in the system's coordinates.
struct PlacementRecord {
  std::uint32_t flags = 0;
  std::uint32_t show_command = show_command::kNormal;
  Point min_position;
  Point max_position;
  Rect normal;
};

enum class NormalCoordinates : std::uint8_t { kWorkspace, kScreen };

// Windows are named by their handles as numbers.
class WindowPlacementService {
 public:
  virtual ~WindowPlacementService() = default;

  // GetWindowPlacement; absent when the window is gone.
  virtual std::optional<PlacementRecord> Placement(std::uintptr_t window) = 0;
  // SetWindowPlacement; false when it fails (the window is gone).
  virtual bool SetPlacement(std::uintptr_t window, const PlacementRecord& placement) = 0;
  // GetWindowRect, screen pixels; absent when the window is gone.
  virtual std::optional<Rect> WindowRect(std::uintptr_t window) = 0;
  // True for a window whose normal rectangle is in screen coordinates
  // whatever the system's convention: a tool window, or a child.
  virtual bool PlacedOnScreen(std::uintptr_t window) = 0;
  // GetDpiForWindow; absent where the system lacks it or the window is gone.
  virtual std::optional<std::uint32_t> WindowDpi(std::uintptr_t window) = 0;
  // SetWindowPos: moved and sized, not activated, its z-order kept.
  virtual bool MoveTo(std::uintptr_t window, const Rect& rect) = 0;
  // The normal rectangle GetWindowPlacement gives for a hidden top-level
  // window made at `rect` (screen) and destroyed again; absent when none can
  // be made.
  virtual std::optional<Rect> ProbeNormalRect(const Rect& rect) = 0;

  // The convention, once learnt: a property of the system, so each service
  // (the running one, a simulated one) keeps its own.
  std::optional<NormalCoordinates> learnt() const noexcept {
    const int v = learnt_.load(std::memory_order_relaxed);
    return v < 0 ? std::nullopt : std::optional(static_cast<NormalCoordinates>(v));
  }
  void Learn(NormalCoordinates c) noexcept {
    learnt_.store(static_cast<int>(c), std::memory_order_relaxed);
  }

 private:
  std::atomic<int> learnt_{-1};
};

// Where a work area's corner lies from its monitor's: how far workspace
// coordinates are from the screen's.
struct WorkspaceOffset {
  std::int64_t x = 0;
  std::int64_t y = 0;
  bool none() const noexcept { return x == 0 && y == 0; }
};
inline WorkspaceOffset OffsetOf(const Rect& bounds, const Rect& work_area) noexcept {
  return {std::int64_t{work_area.left} - bounds.left, std::int64_t{work_area.top} - bounds.top};
}

namespace detail {
inline std::int32_t Saturated(std::int64_t v) noexcept {
  return static_cast<std::int32_t>(std::clamp<std::int64_t>(v, INT32_MIN, INT32_MAX));
}
inline Rect Shifted(const Rect& r, std::int64_t dx, std::int64_t dy) noexcept {
  return {Saturated(r.left + dx), Saturated(r.top + dy), Saturated(r.right + dx),
          Saturated(r.bottom + dy)};
}
}  // namespace detail

// A normal rectangle in the system's coordinates to the screen's, and back;
// `offset` is that of the monitor the rectangle belongs to.
inline Rect NormalToScreen(const Rect& normal, NormalCoordinates c,
                           WorkspaceOffset offset) noexcept {
  return c == NormalCoordinates::kScreen ? normal : detail::Shifted(normal, offset.x, offset.y);
}
inline Rect ScreenToNormal(const Rect& screen, NormalCoordinates c,
                           WorkspaceOffset offset) noexcept {
  return c == NormalCoordinates::kScreen ? screen : detail::Shifted(screen, -offset.x, -offset.y);
}

// What a window in its normal state shows of the convention: its rectangle
// and its normal rectangle agree in one of the two ways. Nothing where the
// offset is none (both agree) or neither does (a snapped window, whose
// normal rectangle is its size before it was snapped).
inline std::optional<NormalCoordinates> ConventionShown(const Rect& window, const Rect& normal,
                                                        WorkspaceOffset offset) noexcept {
  if (offset.none()) return std::nullopt;
  if (normal == window) return NormalCoordinates::kScreen;
  if (normal == detail::Shifted(window, -offset.x, -offset.y)) return NormalCoordinates::kWorkspace;
  return std::nullopt;
}

// The system's convention, for a rectangle on a monitor whose work area is
// `work_area`: learnt once, from a hidden window made there when nothing has
// shown it yet. Where the offset is none either answer converts alike and
// nothing is made. A system that cannot make the window is taken to keep
// Windows' documented convention, and is asked again next time.
NormalCoordinates Convention(WindowPlacementService& service, const Rect& bounds,
                             const Rect& work_area);

#ifdef _WIN32
// The running system's, through user32. One per process; any thread may use
// it for its own windows.
WindowPlacementService& User32WindowPlacement() noexcept;
#endif

}  // namespace vantrel::platform
